#include "kana/KanaLineEdit.h"

#include "platform/QtText.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextCharFormat>

namespace {

// Modifiers that still leave a key plain: Shift for capitals and signs, the
// keypad, and the layout's group switch (some layouts reach signs through it).
constexpr Qt::KeyboardModifiers kPlainModifiers =
    Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier;

bool IsPlain(const QKeyEvent* event) {
    return (event->modifiers() & ~kPlainModifiers) == Qt::NoModifier;
}

// Keys that only change what the next key means.
bool IsModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

KanaLineEdit::KanaLineEdit(QWidget* parent)
    : Cp932LineEdit(parent) {}

QString KanaLineEdit::PendingRomaji() const {
    return QString::fromLatin1(m_composer.Pending());
}

void KanaLineEdit::CommitPending() {
    if (!m_composer.HasPending()) {
        return;
    }
    std::string commit = m_composer.Flush();
    if (!Fits(commit)) {
        // The composition ends here and there is no room for it.
        QApplication::beep();
        commit.clear();
    }
    Show(commit);
}

void KanaLineEdit::keyPressEvent(QKeyEvent* event) {
    if (m_imeComposing || isReadOnly()) {
        Cp932LineEdit::keyPressEvent(event);
        return;
    }
    if (TakesKey(event)) {
        // A key whose result would pass the limit is refused whole, leaving the
        // pending keys as they were, as a full edit refuses a typed character.
        RomajiComposer next = m_composer;
        const std::string commit = next.Feed(static_cast<char>(event->text().at(0).unicode()));
        if (Fits(commit)) {
            m_composer = next;
            Show(commit);
        } else {
            QApplication::beep();
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace && IsPlain(event) && m_composer.Backspace()) {
        Show({});
        event->accept();
        return;
    }
    // Anything else ends the composition first, so that Enter reaches the
    // dialog with the text complete and caret keys move over committed text.
    if (!IsModifierKey(event->key())) {
        CommitPending();
    }
    Cp932LineEdit::keyPressEvent(event);
}

void KanaLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    // A real input method takes over; its text is never rewritten.
    CommitPending();
    m_imeComposing = !event->preeditString().isEmpty();
    Cp932LineEdit::inputMethodEvent(event);
}

void KanaLineEdit::focusOutEvent(QFocusEvent* event) {
    CommitPending();
    // Qt ends a real input method's composition when the focus moves.
    m_imeComposing = false;
    Cp932LineEdit::focusOutEvent(event);
}

void KanaLineEdit::mousePressEvent(QMouseEvent* event) {
    CommitPending();
    Cp932LineEdit::mousePressEvent(event);
}

void KanaLineEdit::dropEvent(QDropEvent* event) {
    CommitPending();
    Cp932LineEdit::dropEvent(event);
}

bool KanaLineEdit::TakesKey(const QKeyEvent* event) const {
    const QString text = event->text();
    return IsPlain(event) && text.size() == 1 && text.at(0).unicode() < 0x80 &&
           RomajiComposer::Takes(static_cast<char>(text.at(0).unicode()));
}

bool KanaLineEdit::Fits(const std::string& commit) const {
    if (LimitText() <= 0 || commit.empty()) {
        return true;
    }
    const int kept = ByteLength(text()) - ByteLength(selectedText());
    return kept + static_cast<int>(commit.size()) <= LimitText();
}

void KanaLineEdit::Show(const std::string& commit) {
    // The same path a real input method takes: the commit goes in at the caret
    // (through the edit's own checks), the pending keys stay composition text.
    const QString pending = PendingRomaji();
    QList<QInputMethodEvent::Attribute> attributes;
    if (!pending.isEmpty()) {
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0,
                                                   static_cast<int>(pending.size()), underline)
                   << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor,
                                                   static_cast<int>(pending.size()), 1);
    }
    QInputMethodEvent event(pending, attributes);
    event.setCommitString(ToQString(commit));
    Cp932LineEdit::inputMethodEvent(&event);
}
