// Small helpers shared by the GUI tests.
#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>
#include <QtTest>

#include <algorithm>

// UTF-8 text from a source literal.
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Top-level windows still visible; a test's cleanup() expects none.
inline int VisibleTopLevelWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(
        std::count_if(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); }));
}

// Types text character by character as key presses that carry the text, as a
// keyboard layout or input method would deliver it; keyClicks takes only Latin-1.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The smallest rectangle holding every pixel of `area` that is not white; empty if none.
inline QRect Ink(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) | 0xFF000000) != 0xFFFFFFFF)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Opens the widget's context menu as the menu key does (or by pressing
// Shift+F10 in it, focused), triggers the entries `pick` chooses, and closes the menu.
template <typename Pick> void TriggerMenuEntries(QWidget* widget, Pick pick, bool shiftF10 = false) {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1), widget->mapToGlobal(QPoint(1, 1)));
    if (shiftF10) {
        QTest::keyClick(widget, Qt::Key_F10, Qt::ShiftModifier);
    } else {
        QApplication::sendEvent(widget, &event);
    }
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    for (QAction* action : menu->actions()) {
        if (pick(action)) {
            action->trigger();
        }
    }
    menu->close();
}
