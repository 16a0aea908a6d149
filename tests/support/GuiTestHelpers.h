// Small helpers shared by the GUI tests.
#pragma once

#include <QApplication>
#include <QWidget>
#include <QtTest>

// UTF-8 text from a source literal.
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Top-level windows still visible; a test's cleanup() expects none.
inline int VisibleTopLevelWindows() {
    int count = 0;
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            ++count;
        }
    }
    return count;
}

// Types text character by character as key presses that carry the text, as a
// keyboard layout or input method would deliver it; keyClicks takes only Latin-1.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
