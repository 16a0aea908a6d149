#include "platform/SaveFileDialog.h"

#include <QFileDialog>

namespace platform {
namespace {

SaveFileDialogs* g_replacement = nullptr;

} // namespace

QString SaveFileDialogs::Ask(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, request.caption, request.suggestedPath, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

SaveFileDialogs& SaveFileDialogs::Current() {
    static SaveFileDialogs* const real = new SaveFileDialogs;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void SaveFileDialogs::Replace(SaveFileDialogs* replacement) {
    g_replacement = replacement;
}

} // namespace platform
