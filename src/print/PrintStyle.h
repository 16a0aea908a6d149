// The print font and print text colour: what the print image is drawn with,
// and the font chooser's handler that changes them.
#pragma once

#include "print/FontDescription.h"

#include <QColor>
#include <QFont>

class QPaintDevice;
class QWidget;

class PrintStyle {
public:
    // "MS UI Gothic" at 36 points as a character height at the vertical
    // resolution of `device` (the screen when null), in black.
    explicit PrintStyle(const QPaintDevice* device = nullptr);

    const FontDescription& Description() const { return m_description; }
    const QFont& Font() const { return m_font; }
    QColor TextColour() const { return m_colour; }

    // Takes the font and an opaque `colour` when a font can be made from
    // `description`; otherwise changes nothing and returns false.
    bool Set(const FontDescription& description, QColor colour);

    // Runs the font chooser from the current font and colour. Cancel changes
    // nothing; OK takes the choice, unless no font can be made from it, which
    // changes nothing either and is not reported. Returns whether the user
    // chose OK: the print image is to be redrawn then.
    bool ChangeFont(QWidget* parent);

private:
    FontDescription m_description;
    QFont m_font;
    QColor m_colour;
};
