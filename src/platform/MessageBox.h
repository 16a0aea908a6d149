// Message boxes as the dialogs expect them: the application's name as the
// caption, OK or OK and Cancel, an icon, and an answer. A test installs a
// handler that records each box and answers it.
#pragma once

#include <QString>

#include <functional>
#include <string_view>

class QWidget;

enum MessageBoxType : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
};

enum DialogResult : int { IDOK = 1, IDCANCEL = 2 };

// What a box shows: caption and text as the user reads them, and the type
// bits (buttons and icon) after the application box's icon rule.
struct MessageBoxRequest {
    QString caption;
    QString text;
    unsigned type;
};

// The executable's file name without folder and extension.
QString ApplicationName();

// The application's box: a box with no icon of its own shows the exclamation icon.
int AfxMessageBox(std::string_view cp932Text, unsigned type = MB_OK);

// A plain box of a window: shows exactly the icon that `type` names.
int WindowMessageBox(QWidget* parent, std::string_view cp932Text, unsigned type = MB_OK);

// Test seam: every box goes to `handler` instead of the screen, which returns
// IDOK or IDCANCEL. An empty function shows real boxes again.
void SetMessageBoxHandler(std::function<int(const MessageBoxRequest&)> handler);
