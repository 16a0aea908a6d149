// The program on any desktop: what a screen reader hears of each dialog, the
// window position where the platform keeps it to itself, and colours that
// read in a dark theme as in a light one.
#include "app/CAboutDlg.h"
#include "app/CPasswordDlg.h"
#include "app/PasswordDialogTemplate.h"
#include "app/WindowSettings.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "strength/StrengthMeter.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "tableedit/CTableEditDlg.h"
#include "tableedit/TableEditTemplate.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    // Every control a reader reaches has a name and the role of what it is
    // (a bare widget is a nameless filler); some names checked whole.
    void everyControlIsNamedWithItsRole() {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const auto id = [](int n) {
            return QStringLiteral("id%1").arg(n);
        };
        CPasswordDlg main;
        main.findChild<QLineEdit*>(id(app::IDC_KATAKANA))->setText(U("サクラ"));
        main.findChild<QPushButton*>(id(app::IDC_CONVERT))->click();
        PasswordModel model;
        CTableEditDlg editor(model);
        CAboutDlg about;
        const std::pair<const char*, QAccessible::Role> roles[] = {
            {"QLineEdit", QAccessible::EditableText}, {"QRadioButton", QAccessible::RadioButton},
            {"QCheckBox", QAccessible::CheckBox},     {"QPushButton", QAccessible::Button},
            {"QGroupBox", QAccessible::Grouping},     {"StrengthMeter", QAccessible::ProgressBar},
        };
        for (QDialog* dialog : std::initializer_list<QDialog*>{&main, &editor, &about}) {
            for (QWidget* widget : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                const QString seen = widget->objectName() + " " + face->text(QAccessible::Name) + " " +
                                     QString::number(face->role());
                const auto role = std::find_if(std::begin(roles), std::end(roles), [widget](const auto& row) {
                    return widget->inherits(row.first);
                });
                QVERIFY2(!widget->isVisibleTo(dialog) ||
                             (!face->text(QAccessible::Name).isEmpty() &&
                              face->role() != QAccessible::Client &&
                              (role == std::end(roles) || face->role() == role->second)),
                         qPrintable(seen));
            }
        }
        const auto caption = [](std::size_t i) {
            return ToQString(app::kPasswordDialogControls[i].text);
        };
        const std::pair<QWidget*, QString> names[] = {
            {main.findChild<QWidget*>(id(app::IDC_KATAKANA)), caption(0)},
            {main.findChild<QWidget*>(id(app::IDC_PASSWORD)), caption(9)},
            {main.findChild<QWidget*>(id(app::IDC_TYPING)), caption(11)},
            {main.findChild<QWidget*>(id(app::IDC_PRINT_IMAGE)), ToQString(main.Model().Password())},
            {main.findChild<StrengthMeter*>(),
             ToQString(strength::DescribeEstimate(*main.findChild<StrengthMeter*>()->Estimate()))},
            {editor.findChild<QWidget*>(id(tableedit::LetterSlotId(1, 0))), "b"},
        };
        for (const auto& [widget, name] : names) {
            const QString spoken = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            QVERIFY2(spoken.contains(name), qPrintable(spoken + " / " + name));
        }
    }

    // Wayland tells a program nothing of its window's place; the others do.
    void windowPositionOnlyWhereThePlatformKnowsIt() {
        for (const QString platform : {"xcb", "offscreen", "wayland", "wayland-egl"}) {
            QCOMPARE(platform + (WindowPositionKnown(platform) ? "" : " unknown"),
                     platform + (platform.startsWith("wayland") ? " unknown" : ""));
        }
    }

    // Colours chosen for a light window stay exactly so on a light palette
    // and reach WCAG's contrast of 4.5 on a dark one.
    void coloursReadOnALightAndADarkPalette() {
        const auto luminance = [](const QColor& c) {
            const auto linear = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) +
                   0.05;
        };
        const QPalette light(QColor(240, 240, 240));
        const QPalette dark(QColor(53, 53, 53));
        for (const QColor colour :
             {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), QColor(0xB0, 0x30, 0x00)}) {
            QCOMPARE(PaintArea::TextColour(colour, light), colour);
            const QColor onDark = PaintArea::TextColour(colour, dark);
            QVERIFY2(luminance(onDark) / luminance(dark.color(QPalette::Window)) >= 4.5,
                     qPrintable(onDark.name()));
        }
    }

private:
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
