#include "platform/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {

MessageBoxes* g_replacement = nullptr;

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

} // namespace

QMessageBox::StandardButton MessageBoxes::Show(QWidget* parent, const MessageBoxRequest& request) {
    // Qt's standard buttons, in Japanese with Qt's translation loaded.
    const bool cancel = request.buttons == Buttons::OkCancel;
    QMessageBox box(QtIcon(request.icon), request.caption, request.text,
                    cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.exec();
    // Closing the box counts as its escape button.
    return box.clickedButton() == box.button(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
}

MessageBoxes& MessageBoxes::Current() {
    static MessageBoxes* const real = new MessageBoxes;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void MessageBoxes::Replace(MessageBoxes* replacement) {
    g_replacement = replacement;
}

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QMessageBox::StandardButton ShowMessage(const QString& text, Buttons buttons, Icon icon) {
    if (icon == Icon::None) {
        icon = Icon::Exclamation;
    }
    return MessageBoxes::Current().Show(QApplication::activeWindow(),
                                        {ApplicationName(), text, buttons, icon});
}

QMessageBox::StandardButton ShowWindowMessage(QWidget* parent, const QString& text, Buttons buttons,
                                             Icon icon) {
    return MessageBoxes::Current().Show(parent, {ApplicationName(), text, buttons, icon});
}

} // namespace platform
