// The program on any desktop: what a screen reader hears of each dialog, the
// window position where the platform keeps it to itself, and colours that
// read in a dark theme as in a light one.
#include "app/CAboutDlg.h"
#include "app/CPasswordDlg.h"
#include "app/PasswordDialogTemplate.h"
#include "app/WindowSettings.h"
#include "model/PasswordModel.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "strength/StrengthMeter.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "tableedit/CTableEditDlg.h"
#include "tableedit/TableEditTemplate.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// WCAG's relative luminance and contrast ratio.
double Luminance(const QColor& colour) {
    const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text of the template control just before `id`: an edit's caption.
QString CaptionBefore(int id) {
    for (std::size_t i = 1; i < app::kPasswordDialogControls.size(); ++i) {
        if (app::kPasswordDialogControls[i].id == id) {
            return ToQString(app::kPasswordDialogControls[i - 1].text);
        }
    }
    return {};
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }

    // Every control a reader reaches has a name and the role of what it is
    // (a bare widget is a nameless filler); edits are named by their captions.
    void everyControlIsNamedWithItsRole() {
        CPasswordDlg main;
        main.findChild<QLineEdit*>(QStringLiteral("id%1").arg(app::IDC_KATAKANA))->setText(U("サクラ"));
        main.findChild<QPushButton*>(QStringLiteral("id%1").arg(app::IDC_CONVERT))->click();
        PasswordModel model;
        CTableEditDlg editor(model);
        CAboutDlg about;
        const struct {
            const QMetaObject* type;
            QAccessible::Role role;
        } roles[] = {
            {&QLineEdit::staticMetaObject, QAccessible::EditableText},
            {&QRadioButton::staticMetaObject, QAccessible::RadioButton},
            {&QCheckBox::staticMetaObject, QAccessible::CheckBox},
            {&QPushButton::staticMetaObject, QAccessible::Button},
            {&QGroupBox::staticMetaObject, QAccessible::Grouping},
            {&StrengthMeter::staticMetaObject, QAccessible::ProgressBar},
        };
        for (QDialog* dialog : {static_cast<QDialog*>(&main), static_cast<QDialog*>(&editor),
                                static_cast<QDialog*>(&about)}) {
            for (QWidget* widget : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!widget->isVisibleTo(dialog)) {
                    continue;
                }
                const QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                const QString where = dialog->windowTitle() + " " + widget->metaObject()->className() + " " +
                                      widget->objectName() + ": " + face->text(QAccessible::Name);
                QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(where));
                QVERIFY2(face->role() != QAccessible::Client, qPrintable(where));
                for (const auto& row : roles) {
                    if (widget->inherits(row.type->className())) {
                        QCOMPARE(where + " " + QString::number(face->role()), where + " " + QString::number(row.role));
                        break;
                    }
                }
            }
        }
        const struct {
            QDialog* dialog;
            QString object;
            QAccessible::Role role;
            QString name; // a part of it
        } named[] = {
            {&main, QStringLiteral("id%1").arg(app::IDC_KATAKANA), QAccessible::EditableText,
             CaptionBefore(app::IDC_KATAKANA)},
            {&main, QStringLiteral("id%1").arg(app::IDC_PASSWORD), QAccessible::EditableText,
             CaptionBefore(app::IDC_PASSWORD)},
            {&main, QStringLiteral("id%1").arg(app::IDC_TYPING), QAccessible::EditableText,
             CaptionBefore(app::IDC_TYPING)},
            {&main, QStringLiteral("id%1").arg(app::IDC_TYPING_RESULT), QAccessible::StaticText, {}},
            {&main, QStringLiteral("id%1").arg(app::IDC_PRINT_IMAGE), QAccessible::Graphic,
             ToQString(main.Model().Password())},
            {&main, QStringLiteral("strengthMeter"), QAccessible::ProgressBar,
             ToQString(strength::DescribeEstimate(*main.findChild<StrengthMeter*>()->Estimate()))},
            {&editor, QStringLiteral("id%1").arg(tableedit::LetterSlotId(1, 0)), QAccessible::EditableText,
             QStringLiteral("b")},
        };
        for (const auto& row : named) {
            auto* widget = row.dialog->findChild<QWidget*>(row.object);
            QVERIFY2(widget != nullptr, qPrintable(row.object));
            const QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            const QString seen = row.object + ": " + face->text(QAccessible::Name);
            QVERIFY2(face->text(QAccessible::Name).contains(row.name), qPrintable(seen + " / " + row.name));
            QCOMPARE(face->role(), row.role);
        }
    }

    // Wayland tells a program nothing of its window's place (a position read
    // there is always (0,0)); the others do.
    void windowPositionOnlyWhereThePlatformKnowsIt() {
        const struct {
            const char* platform;
            bool known;
        } rows[] = {{"xcb", true}, {"offscreen", true}, {"wayland", false}, {"wayland-egl", false}};
        for (const auto& row : rows) {
            QCOMPARE(row.platform + QString(WindowPositionKnown(row.platform) ? " known" : " unknown"),
                     row.platform + QString(row.known ? " known" : " unknown"));
        }
    }

    // The colours chosen for a light window stay exactly so on a light
    // palette and read (WCAG's 4.5) on a dark one.
    void coloursReadOnALightAndADarkPalette() {
        const QPalette light(QColor(240, 240, 240));
        const QPalette dark(QColor(53, 53, 53));
        for (const QColor colour : {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), QColor(0xB0, 0x30, 0x00)}) {
            QCOMPARE(PaintArea::TextColour(colour, light), colour);
            const QColor onDark = PaintArea::TextColour(colour, dark);
            QVERIFY2(Contrast(onDark, dark.color(QPalette::Window)) >= 4.5, qPrintable(onDark.name()));
        }
    }

private:
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
