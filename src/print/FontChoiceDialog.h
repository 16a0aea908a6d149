// The print font chooser: Qt's font picker with the font's colour beside it,
// the sixteen standard colours, in one dialog that returns a font and a colour.
#pragma once

#include "print/FontChooser.h"

#include <QDialog>

#include <optional>

class QFontDialog;
class QLineEdit;
class QListWidget;
class QPushButton;

class FontChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontChoiceDialog(const FontChoice& start, QWidget* parent = nullptr);

    // The font and colour as chosen so far; what the user has not changed in
    // the picker comes from the start, the size in pixels at the screen's resolution.
    FontChoice Choice() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillColours(QColor start);
    // Finds the sample and hides the script filter, which has nothing to choose.
    void FitFontPicker();
    QColor ChosenColour() const;
    void OnChanged();
    // A new face keeps the style the font had, or takes its regular style.
    void KeepStyle();

    QFont m_start;
    QFont m_shown; // the start as the picker first showed it
    int m_dpi;
    QFontDialog* m_fonts;
    QListWidget* m_colours;
    QLineEdit* m_sample = nullptr;
    QPushButton* m_ok;
    QString m_family;
    QString m_style;
    bool m_keepingStyle = false;
};
