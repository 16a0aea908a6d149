// Asking the user where to save a file: the desktop's save dialog. A test puts
// in dialogs of its own that answer instead.
#pragma once

#include <QString>

class QWidget;

namespace platform {

struct SaveFileRequest {
    QString caption;
    QString suggestedPath;
    QString filter;        // e.g. "PDF (*.pdf)"
    QString defaultSuffix; // every name ends in it: added where it does not
};

class SaveFileDialogs {
public:
    virtual ~SaveFileDialogs() = default;

    // The chosen path, as typed; empty when the dialog was cancelled.
    virtual QString Ask(QWidget* parent, const SaveFileRequest& request);

    // The one in use: the desktop's dialog unless a test has put its own in place.
    static SaveFileDialogs& Current();
    // nullptr puts the desktop's dialog back. The caller keeps `replacement` alive.
    static void Replace(SaveFileDialogs* replacement);
};

// The chosen path, ending in the request's suffix (a name with another
// extension, such as backup.xj, gets it too, so no other kind of file is
// written over); when that file exists the user is asked before it is
// replaced. Empty when the user cancelled.
QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);

} // namespace platform
