// Points the program's settings at a fresh folder for as long as it lives, so
// a test starts from nothing remembered and leaves nothing behind.
#pragma once

#include "platform/Settings.h"

#include <QSettings>
#include <QTemporaryDir>

class IsolatedSettings {
public:
    // The program's native format is a file under this path on Linux.
    IsolatedSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path()); }
    // Somewhere that does not exist: a test that forgets to isolate reads nothing.
    ~IsolatedSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "-gone");
    }

private:
    QTemporaryDir m_dir;
};
