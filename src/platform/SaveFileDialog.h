// Asking the user where to save a file: the desktop's save dialog, which asks
// before an existing file is replaced. A test puts in dialogs of its own that
// answer instead.
#pragma once

#include <QString>

class QWidget;

namespace platform {

struct SaveFileRequest {
    QString caption;
    QString suggestedPath;
    QString filter;        // e.g. "PDF (*.pdf)"
    QString defaultSuffix; // added to a name typed without one
};

class SaveFileDialogs {
public:
    virtual ~SaveFileDialogs() = default;

    // The chosen path; empty when the dialog was cancelled.
    virtual QString Ask(QWidget* parent, const SaveFileRequest& request);

    // The one in use: the desktop's dialog unless a test has put its own in place.
    static SaveFileDialogs& Current();
    // nullptr puts the desktop's dialog back. The caller keeps `replacement` alive.
    static void Replace(SaveFileDialogs* replacement);
};

inline QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request) {
    return SaveFileDialogs::Current().Ask(parent, request);
}

} // namespace platform
