#include "kana/KanaLineEdit.h"

#include "convert/Conversion.h"
#include "kana/KatakanaMode.h"
#include "platform/FieldLimit.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

// Modifiers that still leave a key plain: Shift for capitals and signs, the
// keypad, and the layout's group switch (some layouts reach signs through it).
constexpr Qt::KeyboardModifiers kPlainModifiers =
    Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier;

// Keys the edit handles otherwise while it hides its text (undo clears the
// field, copy does nothing, words are the whole text).
bool ActsOnShownText(const QKeyEvent* event) {
    for (const QKeySequence::StandardKey key :
         {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Copy, QKeySequence::Cut,
          QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord, QKeySequence::DeleteStartOfWord,
          QKeySequence::DeleteEndOfWord}) {
        if (event->matches(key)) {
            return true;
        }
    }
    return false;
}

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

// The text a key would type into a line edit; empty for keys that edit, move
// or are shortcuts. Mirrors the line edit's own test, so that no key that
// would type a character gets past the full-width mode.
QString TypedText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        return {};
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier) ||
        (mods & (Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return {}; // Alt and the logo key make commands, as in every field (LimitedLineEdit)
    }
    const QChar first = text.at(0);
    const bool printable = first.isPrint() || first.category() == QChar::Other_PrivateUse ||
                           (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
    return printable ? text : QString();
}

} // namespace

KanaLineEdit::KanaLineEdit(QWidget* parent)
    : LimitedLineEdit(parent) {}

QString KanaLineEdit::TypingHint() {
    return QString::fromUtf8(
        "ローマ字で入力するとカタカナになります（sakura → サクラ）。"
        "ほかの英字・数字・記号とスペースは全角で入ります。"
        "下線の付いた入力中のローマ字は、Backspace で 1 文字ずつ、Esc でまとめて取り消せます。");
}

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
    m_ended.clear();
    if (isReadOnly()) {
        LimitedLineEdit::keyPressEvent(event);
        return;
    }
    // Escape and Backspace first edit the composition; only without one do
    // they reach the window (which closes on Escape) or the text.
    if (!ImeComposing() && IsPlain(event) &&
        ((event->key() == Qt::Key_Escape && m_composer.Drop()) ||
         (event->key() == Qt::Key_Backspace && m_composer.Backspace()))) {
        Show({});
        event->accept();
        return;
    }
    const QString text = TypedText(event);
    // While a real input method composes, the romaji are its business.
    if (!ImeComposing() && text.size() == 1 && text.at(0).unicode() < 0x80) {
        // A key whose result would pass the limit is refused whole, leaving the
        // pending keys as they were, as a full edit refuses a typed character.
        const char key = static_cast<char>(text.at(0).unicode());
        RomajiComposer next = m_composer;
        const std::string commit = next.Feed(key);
        if (RomajiComposer::Takes(key) && Fits(commit)) {
            m_composer = next;
            Show(commit);
        } else {
            QApplication::beep();
        }
        event->accept();
        return;
    }
    if (!text.isEmpty()) {
        TypeText(text);
        event->accept();
        return;
    }
    // Anything else ends the composition first, so that Enter reaches the
    // dialog with the text complete and caret keys move over committed text.
    if (!IsModifierKey(event->key())) {
        CommitPending();
    }
    if (event->matches(QKeySequence::Paste)) {
        // As the edit does: on X11 Ctrl+Shift+Insert pastes the selection.
        const bool selection = event->key() == Qt::Key_Insert &&
                               event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                               QGuiApplication::clipboard()->supportsSelection();
        Paste(selection ? QClipboard::Selection : QClipboard::Clipboard);
        event->accept();
        return;
    }
    // The phrase is as secret as the password it gives: keys that select
    // publish nothing. A word the edit would not find without showing its text.
    if (event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::SelectPreviousWord)) {
        event->matches(QKeySequence::SelectNextWord) ? cursorWordForward(true) : cursorWordBackward(true);
        event->accept();
        return;
    }
    if (ActsOnShownText(event)) {
        LimitedLineEdit::keyPressEvent(event);
        WithdrawSelection();
        return;
    }
    const NoSelectionPublishing guard(*this);
    LimitedLineEdit::keyPressEvent(event);
}

void KanaLineEdit::WithdrawSelection() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && clipboard->ownsSelection() && hasSelectedText() &&
        clipboard->text(QClipboard::Selection) == selectedText()) {
        clipboard->clear(QClipboard::Selection);
    }
}

void KanaLineEdit::TypeText(const QString& text) {
    CommitPending();
    const std::u32string typed = text.toStdU32String();
    // A kana keyboard types ガ as カ and then ﾞ: the mark joins the kana before the caret.
    if (typed.size() == 1 && IsJoiningSoundMark(typed[0]) && !hasSelectedText() && cursorPosition() > 0) {
        const std::u32string before = this->text().mid(cursorPosition() - 1, 1).toStdU32String();
        if (const char32_t joined = before.size() == 1 ? WithSoundMark(before[0], typed[0]) : 0) {
            QInputMethodEvent replace;
            replace.setCommitString(QString::fromStdU32String(std::u32string(1, joined)), -1, 1);
            LimitedLineEdit::inputMethodEvent(&replace);
            return;
        }
    }
    const std::optional<std::string> commit = KatakanaModeText(typed);
    if (!commit || !Fits(*commit)) {
        QApplication::beep();
        return;
    }
    Show(*commit);
}

void KanaLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    CommitPending();
    const QString preedit = event->preeditString();
    const QString commit = event->commitString();
    // Qt's input context keeps the last composition it was sent and commits it
    // when the focus moves, even one the input method has withdrawn (Escape,
    // Backspace to the end). Such a commit comes just before the focus change;
    // a real one that looks the same is let through once nothing else follows.
    if (preedit.isEmpty() && !commit.isEmpty() && commit == m_withdrawn && event->replacementLength() == 0) {
        m_withdrawn.clear();
        m_held = commit;
        QTimer::singleShot(0, this, &KanaLineEdit::ReleaseHeld);
        event->accept();
        return;
    }
    if (preedit.isEmpty() && !commit.isEmpty() && commit == m_ended && event->replacementLength() == 0) {
        if (m_endedIn) {
            m_ended.clear(); // the input method's repeat of what the click ended
            event->accept();
            return;
        }
        m_endedIn = true;
    }
    if (!preedit.isEmpty()) {
        m_ended.clear();
    }
    ReleaseHeld();
    if (!preedit.isEmpty() || !commit.isEmpty()) {
        m_withdrawn.clear();
    } else if (!m_preedit.isEmpty()) {
        m_withdrawn = m_preedit;
    }
    m_preedit = preedit;
    Commit(event);
}

bool KanaLineEdit::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !m_hoverHint.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_hoverHint, this);
        return true;
    }
    if (!m_held.isEmpty()) {
        switch (event->type()) {
        case QEvent::FocusAboutToChange:
        case QEvent::FocusOut:
            m_held.clear(); // the withdrawn composition, sent again by the focus change
            break;
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            ReleaseHeld(); // a real commit, which came before this
            break;
        default:
            break;
        }
    }
    return LimitedLineEdit::event(event);
}

void KanaLineEdit::ReleaseHeld() {
    if (m_held.isEmpty()) {
        return;
    }
    QInputMethodEvent held;
    held.setCommitString(m_held);
    m_held.clear();
    Commit(&held);
}

void KanaLineEdit::Commit(QInputMethodEvent* event) {
    const std::optional<std::string> commit = event->commitString().isEmpty()
                                                  ? std::nullopt
                                                  : KatakanaModeText(event->commitString().toStdU32String());
    if (!commit || RefusedSpace(*commit)) {
        if (!event->commitString().isEmpty()) {
            QApplication::beep(); // no form the field holds: the edit refuses it
        }
        QInputMethodEvent refused(event->preeditString(), event->attributes());
        LimitedLineEdit::inputMethodEvent(commit ? &refused : event);
        return;
    }
    // The input method's text in katakana mode, cut at a character to the room
    // left, with a beep as for a key refused at the limit.
    std::string text = *commit;
    if (const int limit = Limit(); limit > 0) {
        const int kept = ByteLength(this->text()) - ByteLength(selectedText());
        const std::size_t room = static_cast<std::size_t>(std::max(0, limit - kept));
        if (FieldLimit::Measure(text).value_or(0) > room) {
            QApplication::beep();
            text.resize(FieldLimit::FittingPrefix(text, room));
        }
    }
    QInputMethodEvent katakana(event->preeditString(), event->attributes());
    katakana.setCommitString(ToQString(text), event->replacementStart(), event->replacementLength());
    LimitedLineEdit::inputMethodEvent(&katakana);
}

void KanaLineEdit::focusOutEvent(QFocusEvent* event) {
    CommitPending();
    // Qt ends a real input method's composition when the focus moves.
    m_preedit.clear();
    m_withdrawn.clear();
    m_ended.clear();
    LimitedLineEdit::focusOutEvent(event);
}

void KanaLineEdit::mousePressEvent(QMouseEvent* event) {
    CommitPending();
    if (ImeComposing()) {
        // Qt commits the composition the click ends; ibus sends it once more.
        m_ended = m_preedit;
        m_endedIn = false;
    }
    LimitedLineEdit::mousePressEvent(event);
}

void KanaLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection, where the desktop has one.
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        Paste(QClipboard::Selection);
        event->accept();
        return;
    }
    const NoSelectionPublishing guard(*this);
    LimitedLineEdit::mouseReleaseEvent(event);
}

void KanaLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    CommitPending();
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's paste goes through katakana mode as the keys' does.
    for (QAction* action : menu->actions()) {
        // Qt 6.4 connects it by name; later ones may by pointer.
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste)) {
            connect(action, &QAction::triggered, this, [this] { Paste(QClipboard::Clipboard); });
        }
    }
    if (!m_menuActions.isEmpty()) {
        QAction* first = menu->actions().value(0);
        menu->insertActions(first, m_menuActions);
        menu->insertSeparator(first);
    }
    menu->popup(event->globalPos());
}

void KanaLineEdit::dropEvent(QDropEvent* event) {
    CommitPending();
    if (RefusedWhileComposing()) {
        event->ignore();
        return;
    }
    if (isReadOnly() || !event->mimeData()->hasText()) {
        LimitedLineEdit::dropEvent(event);
        return;
    }
    const std::optional<QString> text = AsPasted(event->mimeData()->text());
    if (!text) {
        event->ignore();
        return;
    }
    // The edit's own drop, with the text in katakana mode.
    QMimeData katakana;
    katakana.setText(*text);
    QDropEvent drop(event->position(), event->possibleActions(), &katakana, event->buttons(),
                    event->modifiers());
    drop.setDropAction(event->dropAction());
    const int bytes = ByteLength(this->text()) + ByteLength(*text);
    LimitedLineEdit::dropEvent(&drop);
    event->setDropAction(drop.dropAction());
    event->setAccepted(drop.isAccepted());
    BeepIfCut(bytes);
}

std::optional<QString> KanaLineEdit::AsPasted(const QString& text) const {
    const std::optional<std::string> forms = KatakanaModeText(text.toStdU32String());
    if (!forms || RefusedSpace(*forms)) {
        QApplication::beep();
        return std::nullopt;
    }
    return ToQString(*forms);
}

void KanaLineEdit::Paste(QClipboard::Mode mode) {
    CommitPending();
    if (RefusedWhileComposing()) {
        return;
    }
    const std::optional<QString> text = AsPasted(QGuiApplication::clipboard()->text(mode));
    if (!text) {
        return;
    }
    const int bytes = ByteLength(this->text()) - ByteLength(selectedText()) + ByteLength(*text);
    insert(*text);
    BeepIfCut(bytes);
}

void KanaLineEdit::BeepIfCut(int bytes) const {
    if (ByteLength(text()) < bytes) {
        QApplication::beep();
    }
}

int KanaLineEdit::Limit() const {
    const int own = LimitText();
    if (own <= 0 || m_typingLimit <= 0) {
        return std::max(own, m_typingLimit);
    }
    return std::min(own, m_typingLimit);
}

bool KanaLineEdit::RefusedSpace(const std::string& commit) const {
    return m_refusesSpace && commit.find(kCapitalMark) != std::string::npos;
}

bool KanaLineEdit::RefusedWhileComposing() const {
    if (!ImeComposing()) {
        return false;
    }
    // The text would go in beside the composition shown, and its commit
    // after the text: what is shown would not be what is converted.
    QApplication::beep();
    return true;
}

bool KanaLineEdit::Fits(const std::string& commit) const {
    if (RefusedSpace(commit)) {
        return false;
    }
    const int limit = Limit();
    if (limit <= 0 || commit.empty()) {
        return true;
    }
    const int kept = ByteLength(text()) - ByteLength(selectedText());
    return kept + static_cast<int>(FieldLimit::Measure(commit).value_or(0)) <= limit;
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
    LimitedLineEdit::inputMethodEvent(&event);
}
