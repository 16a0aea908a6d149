#include "platform/SaveFileDialog.h"

#include <QFileDialog>

namespace platform {
namespace {

std::function<QString(const SaveFileRequest&)>& Handler() {
    static std::function<QString(const SaveFileRequest&)> handler;
    return handler;
}

} // namespace

QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QFileDialog dialog(parent, request.caption, request.suggestedPath, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

void SetSaveFileNameHandler(std::function<QString(const SaveFileRequest&)> handler) {
    Handler() = std::move(handler);
}

} // namespace platform
