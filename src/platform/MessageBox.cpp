#include "platform/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {

std::function<int(const MessageBoxRequest&)>& Handler() {
    static std::function<int(const MessageBoxRequest&)> handler;
    return handler;
}

QMessageBox::Icon QtIcon(Icon icon) {
    switch (icon) {
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

int Show(QWidget* parent, const MessageBoxRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    // Qt's standard buttons, in Japanese with Qt's translation loaded.
    const bool cancel = request.buttons == Buttons::OkCancel;
    QMessageBox box(QtIcon(request.icon), request.caption, request.text,
                    cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.exec();
    // Closing the box counts as its escape button.
    return box.clickedButton() == box.button(QMessageBox::Ok) ? IDOK : IDCANCEL;
}

} // namespace

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

int AppMessageBox(const QString& text, Buttons buttons, Icon icon) {
    if (icon == Icon::None) {
        icon = Icon::Exclamation;
    }
    return Show(QApplication::activeWindow(), {ApplicationName(), text, buttons, icon});
}

int WindowMessageBox(QWidget* parent, const QString& text, Buttons buttons, Icon icon) {
    return Show(parent, {ApplicationName(), text, buttons, icon});
}

void SetMessageBoxHandler(std::function<int(const MessageBoxRequest&)> handler) {
    Handler() = std::move(handler);
}

} // namespace platform
