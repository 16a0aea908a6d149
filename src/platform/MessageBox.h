// Message boxes as the dialogs expect them: the application's name as the
// caption, OK or OK and Cancel, an icon, and an answer. A test puts in its
// own boxes that record each box and answer it.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

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

// The application's message box: one with no icon of its own shows the exclamation
// icon. Returns QMessageBox::Ok or QMessageBox::Cancel.
QMessageBox::StandardButton ShowMessage(const QString& text, Buttons buttons = Buttons::Ok,
                                          Icon icon = Icon::None);

// A plain box of a window: shows exactly the icon given.
QMessageBox::StandardButton ShowWindowMessage(QWidget* parent, const QString& text,
                                             Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

// Where every box is shown: the screen unless a test has put its own in place.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Shows the box modally over `parent`; QMessageBox::Ok or QMessageBox::Cancel.
    virtual QMessageBox::StandardButton Show(QWidget* parent, const MessageBoxRequest& request);

    static MessageBoxes& Current();
    // nullptr puts the screen back. The caller keeps `replacement` alive.
    static void Replace(MessageBoxes* replacement);
};

} // namespace platform
