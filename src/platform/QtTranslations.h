// Qt's own texts (standard buttons, edit menus, the font picker) in Japanese,
// from the translations installed with Qt, so that the program's texts and
// Qt's read alike.
#pragma once

class QCoreApplication;

// Loads Qt's Japanese translation into `application` from Qt's translations
// folder. False when it is not installed: Qt's texts then stay in English.
bool InstallQtTranslations(QCoreApplication& application);
