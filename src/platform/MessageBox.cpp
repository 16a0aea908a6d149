#include "platform/MessageBox.h"

#include "platform/QtText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

std::function<int(const MessageBoxRequest&)>& Handler() {
    static std::function<int(const MessageBoxRequest&)> handler;
    return handler;
}

QMessageBox::Icon IconFor(unsigned type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int Show(QWidget* parent, const MessageBoxRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QMessageBox box(IconFor(request.type), request.caption, request.text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    if ((request.type & MB_OKCANCEL) != 0) {
        box.setEscapeButton(box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole));
    } else {
        box.setEscapeButton(ok);
    }
    box.exec();
    // Closing the box counts as its escape button.
    return box.clickedButton() == ok ? IDOK : IDCANCEL;
}

} // namespace

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

int AfxMessageBox(std::string_view cp932Text, unsigned type) {
    if ((type & MB_ICONMASK) == 0) {
        type |= MB_ICONEXCLAMATION;
    }
    return Show(QApplication::activeWindow(), {ApplicationName(), ToQString(cp932Text), type});
}

int WindowMessageBox(QWidget* parent, std::string_view cp932Text, unsigned type) {
    return Show(parent, {ApplicationName(), ToQString(cp932Text), type});
}

void SetMessageBoxHandler(std::function<int(const MessageBoxRequest&)> handler) {
    Handler() = std::move(handler);
}
