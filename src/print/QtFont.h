// Crossing between the program's font description and Qt's QFont; used by the
// print image and its font chooser.
#pragma once

#include "print/FontDescription.h"

#include <QFont>

#include <optional>

// The font `description` asks for, its face mapped to an installed one.
// Nothing when no font can be made from it.
std::optional<QFont> CreateQFont(const FontDescription& description);

// The description of `font`; a size in points becomes a character height at
// `dpi`. Fields a QFont cannot carry (escapement, orientation, character set,
// precisions), and every field in which `font` agrees with the font made from
// `base`, are taken from `base`, so a font the user left alone keeps its
// description. Nothing when the family has no code page 932 form or does not
// fit a face name.
std::optional<FontDescription> DescribeQFont(const QFont& font, const FontDescription& base, int dpi);

// The character height in pixels that `font` asks for at `dpi`.
int CharacterHeight(const QFont& font, int dpi);
