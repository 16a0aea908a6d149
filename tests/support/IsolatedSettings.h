// Points the program's settings at a fresh folder for as long as it lives, so
// a test starts from nothing remembered and leaves nothing behind.
#pragma once

#include "platform/Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class IsolatedSettings {
public:
    IsolatedSettings() {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }
    ~IsolatedSettings() {
        // Somewhere that does not exist: a test that forgets to isolate reads nothing.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "-gone");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "-gone");
    }

private:
    QTemporaryDir m_dir;
};
