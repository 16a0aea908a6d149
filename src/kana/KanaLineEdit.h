// The katakana field's edit: typed romaji become full-width katakana, for
// desktops without a Japanese input method. The keys still waiting for more
// are shown at the caret as composition text, outside text() and the limit.
#pragma once

#include "platform/Cp932LineEdit.h"
#include "kana/RomajiComposer.h"

class KanaLineEdit : public Cp932LineEdit {
    Q_OBJECT
public:
    explicit KanaLineEdit(QWidget* parent = nullptr);

    // The romaji typed but not yet committed.
    QString PendingRomaji() const;

    // Commits the pending romaji (a lone n as ン), as Enter or leaving does.
    void CommitPending();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool TakesKey(const QKeyEvent* event) const;
    // Whether `commit` fits the byte limit in place of the selection.
    bool Fits(const std::string& commit) const;
    // Inserts `commit` at the caret and shows the pending romaji after it.
    void Show(const std::string& commit);

    RomajiComposer m_composer;
    // A real input method has composition text in the field.
    bool m_imeComposing = false;
};
