// The font chooser as the print image's handler sees it: a font description
// and a colour in, the user's choice out, or nothing on Cancel. A test installs
// a handler that answers instead of the dialog.
#pragma once

#include "print/FontDescription.h"

#include <QColor>

#include <functional>
#include <optional>

class QWidget;

struct FontChoice {
    FontDescription font;
    QColor colour;

    bool operator==(const FontChoice&) const = default;
};

using FontChooserHandler = std::function<std::optional<FontChoice>(QWidget* parent, const FontChoice& start)>;

// Shows the chooser modally, started from `start`; nothing when it is not ended with OK.
std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& start);

// Test seam: every chooser goes to `handler` instead of the screen. An empty
// function shows the real dialog again.
void SetFontChooserHandler(FontChooserHandler handler);
