#include "platform/SaveFileDialog.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {
namespace {

SaveFileDialogs* g_replacement = nullptr;

} // namespace

QString SaveFileDialogs::Ask(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, request.caption, request.suggestedPath, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The question comes once the name is final (AskSaveFileName).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
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

QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request) {
    QString path = SaveFileDialogs::Current().Ask(parent, request);
    if (path.isEmpty()) {
        return {};
    }
    const QString suffix = QLatin1Char('.') + request.defaultSuffix;
    if (!request.defaultSuffix.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) {
        path += suffix;
    }
    const QFileInfo file(path);
    if ((file.exists() || file.isSymLink()) &&
        ShowWindowMessage(
            parent,
            QStringLiteral("%1 は既にあります。\n置き換えますか？").arg(QDir::toNativeSeparators(path)),
            Buttons::OkCancel, Icon::Question) != QMessageBox::Ok) {
        return {};
    }
    return path;
}

} // namespace platform
