// The program's help page and the desktop's viewer that shows it. The page is
// looked for beside the executable (the build tree) and then in the installed
// data folder; a page that cannot be found or shown is reported in a box.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Where the page may lie, in the order they are tried.
QStringList HelpPageCandidates();

// The first candidate that exists; empty when there is none.
QString FindHelpPage();

// Shows the help page with the desktop's viewer, or says in a box why not.
void ShowHelpPage();

// Test seam: the places to look in place of the usual ones; an empty list
// puts the usual ones back.
void SetHelpPageCandidates(QStringList candidates);

// Test seam: opens a URL in place of the desktop's viewer and tells whether it
// could. An empty function puts the desktop's viewer back.
void SetUrlOpener(std::function<bool(const QUrl&)> opener);
