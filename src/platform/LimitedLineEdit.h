// A line edit that holds only text code page 932 can hold, optionally limited
// to a number of code page 932 bytes. Typed and pasted text is checked alike: a character
// without a code page 932 form is refused, and text past the limit is cut at
// a character boundary, as the platform's edit control does.
#pragma once

#include <QLineEdit>

class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LimitedLineEdit(QWidget* parent = nullptr);

    // 0: no limit.
    void SetLimitText(int bytes);
    int LimitText() const { return m_limit; }

    // Bytes that `text` takes in code page 932; -1 if it cannot be held.
    static int ByteLength(const QString& text);

protected:
    // Alt (or the logo key) with a key is a command, never a character: a line
    // edit would type the key's character, unseen in a password field.
    void keyPressEvent(QKeyEvent* event) override;
    // An empty field entered with Tab selects nothing: the selection and caret
    // notices a line edit sends first would have a screen reader take the
    // field as already focused and say nothing of it, not even its name.
    void focusInEvent(QFocusEvent* event) override;

    // A line edit publishes its selection to the primary selection after a left
    // mouse release and after every key it handles, but only while it shows its
    // text as it is. Around such a handler a field holding a secret shows
    // nothing instead; no paint happens in between, so the user never sees it.
    // (Undo, copy and word moves act otherwise then: they are not guarded.)
    class NoSelectionPublishing {
    public:
        explicit NoSelectionPublishing(QLineEdit& edit)
            : m_edit(edit)
            , m_mode(edit.echoMode()) {
            m_edit.setEchoMode(QLineEdit::NoEcho);
        }
        ~NoSelectionPublishing() { m_edit.setEchoMode(m_mode); }
        NoSelectionPublishing(const NoSelectionPublishing&) = delete;
        NoSelectionPublishing& operator=(const NoSelectionPublishing&) = delete;

    private:
        QLineEdit& m_edit;
        QLineEdit::EchoMode m_mode;
    };

private:
    int m_limit = 0;
};
