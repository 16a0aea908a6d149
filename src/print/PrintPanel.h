// The print image panel: the password drawn in the print font and colour in
// the print-image area, the font chooser that changes them, and the label
// read from the same picture, so that what shows is what prints.
#pragma once

#include "print/LabelImage.h"
#include "print/PrintStyle.h"

#include <QFont>

#include <string>
#include <string_view>

class PaintArea;
class QPainter;
class QWidget;

class PrintPanel {
public:
    PrintPanel() = default;
    ~PrintPanel();
    PrintPanel(const PrintPanel&) = delete;
    PrintPanel& operator=(const PrintPanel&) = delete;

    // Takes the area over: sizes it to the print image in pixels, whatever the
    // dialog font, sets the start style (36-point "MS UI Gothic" at the area's
    // resolution, black) and paints the password into it from now on.
    void Attach(PaintArea* area);

    // The password to show; the area is redrawn.
    void SetPassword(std::string_view password);
    const std::string& Password() const { return m_password; }

    // Runs the font chooser from the current font and colour; OK redraws the
    // area in the choice. Returns whether the user chose OK.
    bool ChangeFont(QWidget* parent);

    // Takes a font and colour kept from an earlier run.
    void SetStyle(const QFont& font, QColor colour);

    // Whether the password shows whole, nothing of it cut off.
    bool PasswordFits() const;

    const PrintStyle& Style() const { return m_style; }

    // The label as the area shows it.
    LabelImage Label() const;

private:
    void Paint(QPainter& painter) const;
    // What the image shows, for a screen reader.
    void Describe() const;

    PaintArea* m_area = nullptr;
    QFont m_previousFont; // the area's own, given back when the panel goes
    PrintStyle m_style;
    std::string m_password;
};
