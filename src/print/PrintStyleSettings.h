// The print font and colour as the program remembers them between runs: the
// font as Qt writes it under "print/font", the colour as "#rrggbb" under
// "print/colour". A font kept by earlier versions, every field of its
// description under "print/font/", is still read when "print/font" is missing.
#pragma once

#include "print/FontChooser.h"

#include <optional>

class QSettings;

void SavePrintStyle(QSettings& settings, const FontChoice& style);

// Nothing when no style was kept, or what was kept is not a whole, valid
// font and colour (a hand-edited file).
std::optional<FontChoice> LoadPrintStyle(const QSettings& settings);
