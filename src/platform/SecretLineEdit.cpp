#include "platform/SecretLineEdit.h"

#include "platform/SecretClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

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
