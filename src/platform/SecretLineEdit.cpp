#include "platform/SecretLineEdit.h"

#include "platform/SecretClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

// A line edit publishes its selection to the primary selection after a left
// mouse release and after every key it handles, but only while it shows its
// text as it is. Around those two handlers the field shows nothing instead;
// no paint happens in between, so the user never sees it.
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

} // namespace

SecretLineEdit::SecretLineEdit(SecretClipboard& clipboard, QWidget* parent)
    : LimitedLineEdit(parent)
    , m_clipboard(clipboard) {}

void SecretLineEdit::CopySecret() {
    if (hasSelectedText()) {
        m_clipboard.Copy(selectedText());
    }
}

void SecretLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy || (event == QKeySequence::Cut && isReadOnly())) {
        CopySecret();
        event->accept();
        return;
    }
    const NoSelectionPublishing guard(*this);
    LimitedLineEdit::keyPressEvent(event);
}

void SecretLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    const NoSelectionPublishing guard(*this);
    LimitedLineEdit::mouseReleaseEvent(event);
}

// Qt's own menu, with its Japanese texts, whose copy entry copies as a secret.
void SecretLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Newer Qt names the entry; older Qt is known by the copy shortcut its text ends in.
    const QString shortcut =
        QLatin1Char('\t') + QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText);
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QStringLiteral("edit-copy") || action->text().endsWith(shortcut)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &SecretLineEdit::CopySecret);
            action->setObjectName(QStringLiteral("edit-copy"));
            break;
        }
    }
    menu->popup(event->globalPos());
}
