// Asking the user where to save a file: the desktop's save dialog, which asks
// before an existing file is replaced. A test installs a handler that answers
// instead of the dialog.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

struct SaveFileRequest {
    QString caption;
    QString suggestedPath;
    QString filter;        // e.g. "PDF (*.pdf)"
    QString defaultSuffix; // added to a name typed without one
};

// The chosen path; empty when the dialog was cancelled.
QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);

// Test seam: every request goes to `handler` instead of the screen. An empty
// function shows the real dialog again.
void SetSaveFileNameHandler(std::function<QString(const SaveFileRequest&)> handler);

} // namespace platform
