// Messages for the user on standard error, each told once per run: a printer
// that cannot be used is asked about again and again, and one line is enough.
#pragma once

#include <set>
#include <string>

namespace tavopus {

class OnceTold {
public:
    // Writes `text` (UTF-8) on one line after the program's name, as the
    // program's own messages are, unless a message with this key was told already.
    void Tell(const std::string& key, const std::string& text);

    // The cause of a failed system call, in words for the message.
    static std::string Reason(int error);

private:
    std::set<std::string> told_;
};

} // namespace tavopus
