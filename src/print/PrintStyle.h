// The print font and print text colour: what the print image is drawn with,
// and the font chooser's handler that changes them.
#pragma once

#include <QColor>
#include <QFont>

class QPaintDevice;
class QWidget;

class PrintStyle {
public:
    // The face and size a style starts at; a face chosen without a size takes it.
    static constexpr const char* kStartFace = "MS UI Gothic";
    static constexpr int kStartPoints = 36;

    // kStartFace at kStartPoints as a character height in pixels at the
    // vertical resolution of `device` (the screen when null), in black.
    explicit PrintStyle(const QPaintDevice* device = nullptr);

    // `face` (mapped to an installed one) at a size in points, as a character
    // height in pixels at the screen's resolution, as the window keeps it.
    static QFont FontOf(const QString& face, int points, const QPaintDevice* device = nullptr);

    const QFont& Font() const { return m_font; }
    QColor TextColour() const { return m_colour; }

    // Takes the font and `colour`, made opaque.
    void Set(const QFont& font, QColor colour);

    // Runs the font chooser from the current font and colour. Cancel changes
    // nothing; OK takes the choice. Returns whether the user chose OK: the
    // print image is to be redrawn then.
    bool ChangeFont(QWidget* parent);

private:
    QFont m_font;
    QColor m_colour;
};
