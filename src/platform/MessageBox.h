// Message boxes as the dialogs expect them: the application's name as the
// caption, OK or OK and Cancel, an icon, and an answer. A test installs a
// handler that records each box and answers it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// What a modal dialog or a message box ends with.
enum DialogResult : int { IDOK = 1, IDCANCEL = 2 };

namespace platform {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Stop, Question, Exclamation, Information };

// What a box shows: caption and text as the user reads them, its buttons and
// its icon after the application box's icon rule.
struct MessageBoxRequest {
    QString caption;
    QString text;
    Buttons buttons;
    Icon icon;
};

// The executable's file name without folder and extension.
QString ApplicationName();

// The application's box: a box with no icon of its own shows the exclamation
// icon. Returns IDOK or IDCANCEL.
int AppMessageBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

// A plain box of a window: shows exactly the icon given.
int WindowMessageBox(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                     Icon icon = Icon::None);

// Test seam: every box goes to `handler` instead of the screen, which returns
// IDOK or IDCANCEL. An empty function shows real boxes again.
void SetMessageBoxHandler(std::function<int(const MessageBoxRequest&)> handler);

} // namespace platform
