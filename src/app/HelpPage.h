// The program's help page and the desktop's viewer that shows it. The page is
// looked for beside the executable (the build tree) and then in the installed
// data folder; a page that cannot be found or shown is reported in a box.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Where the page may lie, in the order they are tried.
QStringList HelpPageCandidates();

// The first candidate that exists; empty when there is none.
QString FindHelpPage();

// Shows the help page with the desktop's viewer, or says in a box why not.
void ShowHelpPage();

// Test seam: the places to look in place of the usual ones; an empty list
// puts the usual ones back.
void SetHelpPageCandidates(QStringList candidates);

// What opens the page: the desktop's viewer unless a test has put its own in place.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // Whether the viewer could be started.
    virtual bool Open(const QUrl& url);

    static UrlOpener& Current();
    // nullptr puts the desktop's viewer back. The caller keeps `replacement` alive.
    static void Replace(UrlOpener* replacement);
};
