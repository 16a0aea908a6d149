// The font chooser as the print image's handler sees it: a font and a colour
// in, the user's choice out, or nothing on Cancel. A test puts in a chooser of
// its own that answers instead of the dialog.
#pragma once

#include <QColor>
#include <QFont>

#include <optional>

class QWidget;

struct FontChoice {
    QFont font; // its size in pixels
    QColor colour;

    bool operator==(const FontChoice&) const = default;
};

class FontChooser {
public:
    virtual ~FontChooser() = default;

    // Shows the chooser modally, started from `start`; nothing when it is not ended with OK.
    virtual std::optional<FontChoice> Choose(QWidget* parent, const FontChoice& start);

    // The one in use: the real dialog unless a test has put its own in place.
    static FontChooser& Current();
    // nullptr puts the real dialog back. The caller keeps `replacement` alive.
    static void Replace(FontChooser* replacement);
};

inline std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& start) {
    return FontChooser::Current().Choose(parent, start);
}
