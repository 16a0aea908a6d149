// The command line's words for the model's table file: the file named by
// --table, or "Q8.xj" in the working folder, with the built-in table while
// that file does not exist, as the window does.
#pragma once

class PasswordModel;

namespace cli {

// Loads the model's table. `named`: the user gave the file; its absence is
// then worth a warning. A file that exists but cannot be opened or read is an
// error (the window would fall back silently; a script should hear of it).
void LoadTable(PasswordModel& model, bool named);

// Writes the model's table to its file, replacing it whole or not at all.
void SaveTable(const PasswordModel& model);

} // namespace cli
