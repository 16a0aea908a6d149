// The short line at the password that says which characters of the phrase no
// table entry converted (a kanji, a full-width letter), so that a short or
// empty password is never left unexplained; no box to dismiss. It lies over
// the password's caption while it shows.
#pragma once

#include <QLabel>

class SkipNotice : public QLabel {
    Q_OBJECT
public:
    explicit SkipNotice(QWidget* parent = nullptr);

    // Shows `notice`, cut to the line's width with the whole in its tooltip;
    // an empty notice hides the line.
    void Show(const QString& notice);
    // The notice shown; empty while hidden.
    QString Notice() const { return isVisible() ? toolTip() : QString(); }
};
