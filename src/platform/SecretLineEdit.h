// A line edit that shows a secret: its copies, by key or from
// its context menu, go through a SecretClipboard, so they carry the secret
// hint and are cleared again. What is selected in it is never published to
// the window system's primary selection, where any program could read it.
#pragma once

#include "platform/LimitedLineEdit.h"

class SecretClipboard;

class SecretLineEdit : public LimitedLineEdit {
    Q_OBJECT
public:
    // `clipboard` must outlive the field.
    explicit SecretLineEdit(SecretClipboard& clipboard, QWidget* parent = nullptr);

    // Copies the selection, as the edit's own copy does.
    void CopySecret();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    SecretClipboard& m_clipboard;
};
