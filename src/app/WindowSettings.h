// What the main window remembers between runs besides the print style (see
// PrintStyleSettings): the case, digit and symbol options, the clipboard's
// clearing time and the window position.
#pragma once

class PrintPanel;
class QAbstractButton;
class QString;
class QWidget;
class SecretClipboard;

struct WindowOptions {
    QAbstractButton* randomCase;
    QAbstractButton* capitalAfterSpace;
    QAbstractButton* useDigits;
    QAbstractButton* useSymbols;
};

// Whether the platform tells a program where its window is (Wayland does
// not: a position read there is always (0,0), and one set is ignored).
bool WindowPositionKnown(const QString& platformName);

// Whatever is missing or unusable keeps the start-up state.
void LoadWindowSettings(QWidget& window, const WindowOptions& options, PrintPanel& panel,
                        SecretClipboard& clipboard);
void SaveWindowSettings(const QWidget& window, const WindowOptions& options,
                        const SecretClipboard& clipboard);
