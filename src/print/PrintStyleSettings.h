// The print font and colour as the program remembers them between runs: every
// field of the font description under "print/font/", the colour as "#rrggbb"
// under "print/colour".
#pragma once

#include "print/FontChooser.h"

#include <optional>

class QSettings;

void SavePrintStyle(QSettings& settings, const FontChoice& style);

// Nothing when no style was kept, or what was kept is not a whole, valid
// font description and colour (a hand-edited file, an older program).
std::optional<FontChoice> LoadPrintStyle(const QSettings& settings);
