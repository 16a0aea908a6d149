// The font a description kept by earlier versions of the program asks for,
// and the character height of a font.
#pragma once

#include "print/FontDescription.h"

#include <QFont>

#include <optional>

// The font `description` asks for, its face mapped to an installed one.
// Nothing when no font can be made from it.
std::optional<QFont> CreateQFont(const FontDescription& description);

// The character height in pixels that `font` asks for at `dpi`.
int CharacterHeight(const QFont& font, int dpi);
