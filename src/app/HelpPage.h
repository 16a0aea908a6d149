// The program's help page and the desktop's viewer that shows it. The page is
// looked for beside the executable (the build tree) and then in the installed
// data folder; a page that cannot be found or shown is reported in a box.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The first candidate that exists; empty when there is none.
QString FindHelpPage();

// Shows the help page with the desktop's viewer, or says in a box why not.
void ShowHelpPage();

// Where the page may lie and what shows it: the usual places and the
// desktop's viewer unless a test has put its own in place.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;

    // Where the page may lie, in the order they are tried.
    virtual QStringList Candidates() const;
    // Whether the viewer could be started.
    virtual bool Open(const QUrl& url);

    static HelpViewer& Current();
    // nullptr puts the usual one back. The caller keeps `replacement` alive.
    static void Replace(HelpViewer* replacement);
};
