// The katakana field's edit, standing in for an input method in full-width
// katakana mode on desktops without one: typed romaji become katakana, every
// other printable key its full-width form, and kana or text from a real input
// method, a paste or a drop is put in katakana mode too. The keys still
// waiting for more are shown at the caret as composition text, outside text()
// and the limit. Text the program sets is left as it is. A composition a real
// input method withdrew stays withdrawn, and what passes the limit is cut at a
// character with a beep.
#pragma once

#include "kana/RomajiComposer.h"
#include "platform/LimitedLineEdit.h"

#include <QClipboard>
#include <QList>

#include <optional>

class KanaLineEdit : public LimitedLineEdit {
    Q_OBJECT
public:
    explicit KanaLineEdit(QWidget* parent = nullptr);

    // How to type into such a field, for its tooltip.
    static QString TypingHint();

    // A tooltip shown on hover but kept from a screen reader, which reads a
    // tooltip as the field's description: for fields that come many at a time.
    void SetHoverHint(const QString& hint) { m_hoverHint = hint; }

    // Bytes that typing may fill, on top of the edit's own limit (0: none).
    // Text the program sets, pasted or dropped text is not held to it.
    void SetTypingLimit(int bytes) { m_typingLimit = bytes; }

    // Refuses, with a beep, anything that would put a space in the text
    // (a table key must not take the space that marks a capital).
    void SetRefusesSpace(bool refuses) { m_refusesSpace = refuses; }

    // The romaji typed but not yet committed.
    QString PendingRomaji() const;

    // Commits the pending romaji (a lone n as ン), as Enter or leaving does.
    void CommitPending();

    // An entry of the field's own at the top of its context menu.
    void AddMenuAction(QAction* action) { m_menuActions.append(action); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Bytes the text may reach; 0 when nothing limits it.
    int Limit() const;
    // Whether `commit` fits the limit in place of the selection (and holds
    // no space where spaces are refused).
    bool Fits(const std::string& commit) const;
    bool RefusedSpace(const std::string& commit) const;
    // A beep, and true, while a real input method composes (a paste or drop waits).
    bool RefusedWhileComposing() const;
    // A real input method has composition text in the field.
    bool ImeComposing() const { return !m_preedit.isEmpty(); }
    // The input method's event with its commit in katakana mode.
    void Commit(QInputMethodEvent* event);
    // Commits the held commit, once it is known not to come from a focus change.
    void ReleaseHeld();
    // A key that carries text other than one ASCII character.
    void TypeText(const QString& text);
    // Inserts `commit` at the caret and shows the pending romaji after it.
    void Show(const std::string& commit);
    // Pasted or dropped text in katakana mode; nothing, after a beep, when
    // a character has no form the field holds.
    std::optional<QString> AsPasted(const QString& text) const;
    // Pastes the text of the clipboard or of the selection at the caret.
    void Paste(QClipboard::Mode mode);
    // Takes back the primary selection where the edit published its own.
    void WithdrawSelection() const;
    // A beep when the edit cut what went in, leaving less than `bytes`.
    void BeepIfCut(int bytes) const;

    RomajiComposer m_composer;
    int m_typingLimit = 0;
    // A real input method's composition now in the field, the one it has
    // just withdrawn, and a commit of that one held back (see inputMethodEvent).
    QString m_preedit;
    QString m_withdrawn;
    QString m_held;
    // A composition a click ended: once it is in, the input method's commit
    // of the same text before any new composition is a repeat.
    QString m_ended;
    bool m_endedIn = false;
    bool m_refusesSpace = false;
    QList<QAction*> m_menuActions;
    QString m_hoverHint;
};
