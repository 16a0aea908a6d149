// The main dialog: its start-up state, layout, default button, the conversion
// from the keyboard, the katakana field's limit, a damaged table file, help.
#include "app/CAboutDlg.h"
#include "app/CPasswordDlg.h"

#include "app/HelpPage.h"
#include "app/PasswordDialogTemplate.h"
#include "print/FontChooser.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "tableedit/CTableEditDlg.h"
#include "convert/Conversion.h"
#include "platform/CalendarTime.h"
#include "platform/CrtRandom.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/Sjis.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace app;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray FromStd(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A dialog run as the program runs it, shown and with its first focus given.
struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog)) {
            qWarning("dialog did not become active");
        }
    }
    ~ShownDialog() {
        if (dialog.isVisible()) {
            dialog.EndDialog(IDCANCEL);
        }
    }
    QWidget* Item(int id) const { return dialog.GetDlgItem(id); }
    QLineEdit* Edit(int id) const { return dialog.Item<QLineEdit>(id); }
    int FocusId() const {
        for (const auto& control : kPasswordDialogControls) {
            if (control.id != dlg::kStaticId &&
                dialog.GetDlgItem(control.id) == QApplication::focusWidget()) {
                return control.id;
            }
        }
        return 0;
    }
    CPasswordDlg dialog;
};

} // namespace

class CPasswordDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The table file is read from the current folder; start from an empty one.
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanup() {
        QFile::remove(m_dir.filePath(QString::fromLatin1(kTableFileName)));
        SetCalendarTimeSource({});
        SetUrlOpener({});
        SetHelpPageCandidates({});
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    void startsWithTheOptionsAndFocusOfAFreshRun() {
        MessageBoxRecorder boxes;
        ShownDialog d;
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_CAPITAL_AFTER_SPACE));
        QVERIFY(!d.dialog.IsDlgButtonChecked(IDC_RANDOM_CASE));
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_USE_DIGITS));
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_USE_SYMBOLS));
        // The built-in table has no symbols: the box stays checked but cannot be used.
        QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
        QVERIFY(d.dialog.IsDlgItemEnabled(IDC_USE_DIGITS));
        QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_PRINT));
        QCOMPARE(d.FocusId(), IDC_KATAKANA);
        QCOMPARE(d.dialog.GetDefID(), IDC_CONVERT);
        QVERIFY(d.dialog.HasDefaultStyle(IDC_CONVERT));
        QCOMPARE(d.dialog.windowTitle(), QStringLiteral("Q8xj"));
        QVERIFY(!d.dialog.windowIcon().isNull());
        QVERIFY(d.dialog.windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(d.dialog.windowIcon().availableSizes().contains(QSize(32, 32)));
        QCOMPARE(d.dialog.Letters().GetCount(), std::size_t{83});
        QVERIFY(boxes.shown.empty());
    }

    void controlsSitWhereTheTemplatePutsThem_data() {
        QTest::addColumn<int>("id");
        for (const auto& control : kPasswordDialogControls) {
            if (control.id != dlg::kStaticId && control.id != IDC_PRINT_IMAGE) {
                QTest::addRow("%d", control.id) << control.id;
            }
        }
    }
    void controlsSitWhereTheTemplatePutsThem() {
        QFETCH(int, id);
        ShownDialog d;
        const auto control = *std::find_if(kPasswordDialogControls.begin(), kPasswordDialogControls.end(),
                                           [id](const dlg::Control& c) { return c.id == id; });
        const QFontMetrics metrics(PointFont(U("ＭＳ Ｐゴシック"), 90, &d.dialog));
        const int bx = (metrics.horizontalAdvance(
                            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                            26 +
                        1) /
                       2;
        const int by = metrics.height();
        const auto px = [](int units, int base, int per) {
            return (units * base + per / 2) / per;
        };
        const QRect expected(
            QPoint(px(control.x, bx, 4), px(control.y, by, 8)),
            QPoint(px(control.x + control.cx, bx, 4) - 1, px(control.y + control.cy, by, 8) - 1));
        QCOMPARE(d.Item(id)->geometry(), expected);
        QCOMPARE(d.dialog.size(), QSize(px(247, bx, 4), px(357, by, 8)));
    }

    void printImageShowsThePasswordInTheChosenFont_data() {
        QTest::addColumn<bool>("chooserOk");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("dots");
        QTest::newRow("cancel keeps black") << false << QColor(Qt::white) << true;
        QTest::newRow("ok with white prints nothing") << true << QColor(Qt::white) << false;
        QTest::newRow("ok with red") << true << QColor(Qt::red) << true;
    }
    void printImageShowsThePasswordInTheChosenFont() {
        QFETCH(bool, chooserOk);
        QFETCH(QColor, colour);
        QFETCH(bool, dots);
        ShownDialog d;
        QWidget* area = d.Item(IDC_PRINT_IMAGE);
        QCOMPARE(PrintImage::Label(area->grab().toImage()).DotCount(), std::size_t{0});
        TypeText(d.Edit(IDC_KATAKANA), U("サクラ"));
        QTest::keyClick(d.Edit(IDC_KATAKANA), Qt::Key_Return);
        const auto rgb = [](const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); };
        QCOMPARE(rgb(area->grab().toImage()), rgb(PrintImage::Render("39r", PrintStyle(&d.dialog))));

        std::optional<FontChoice> seen;
        SetFontChooserHandler([&](QWidget*, const FontChoice& start) -> std::optional<FontChoice> {
            seen = start;
            if (!chooserOk) {
                return std::nullopt;
            }
            FontChoice choice = start;
            choice.font.height = start.font.height * 2;
            choice.colour = colour;
            return choice;
        });
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_CHANGE_FONT), Qt::LeftButton);
        SetFontChooserHandler({});
        QVERIFY(seen.has_value());
        QCOMPARE(seen->colour, QColor(Qt::black));
        const QImage after = area->grab().toImage();
        QCOMPARE(PrintImage::Label(after).DotCount() > 0, dots);
        if (!chooserOk) {
            QCOMPARE(rgb(after), rgb(PrintImage::Render("39r", PrintStyle(&d.dialog))));
        }
    }

    void printImageIsSizedInPixelsWithAWhiteInside() {
        ShownDialog d;
        QWidget* area = d.Item(IDC_PRINT_IMAGE);
        const QRect fromTemplate = d.dialog.MapDialogRect(13, 299, 221, 44);
        QCOMPARE(area->geometry(), QRect(fromTemplate.topLeft(), QSize(387, 67)));
        const QImage image = area->grab().toImage();
        QCOMPARE(image.size(), QSize(387, 67));
        for (const QPoint p : {QPoint(2, 2), QPoint(384, 64), QPoint(193, 33), QPoint(384, 2)}) {
            QCOMPARE(QColor(image.pixel(p)), QColor(Qt::white));
        }
        // The etched frame: shadow outside at the top left, inside at the bottom right.
        QCOMPARE(QColor(image.pixel(0, 0)), PaintArea::Shadow3D());
        QCOMPARE(QColor(image.pixel(385, 30)), PaintArea::Shadow3D());
        QCOMPARE(QColor(image.pixel(30, 65)), PaintArea::Shadow3D());
        // The typing result area keeps its template size with the same frame.
        QCOMPARE(QColor(d.Item(IDC_TYPING_RESULT)->grab().toImage().pixel(0, 0)), PaintArea::Shadow3D());
    }

    void tabOrderFollowsTheTemplate() {
        ShownDialog d;
        // 1008 is disabled with the built-in table and 1003 without a printer.
        const QList<int> expected{IDC_USE_DIGITS, IDC_CONVERT,     IDC_PASSWORD, IDC_TYPING,
                                  IDC_CHECK,      IDC_CHANGE_FONT, IDC_ABOUT,    ID_HELP,
                                  IDCANCEL,       IDC_EDIT_TABLE,  IDC_KATAKANA};
        QList<int> seen;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << d.FocusId();
        }
        QCOMPARE(seen, expected);
    }

    void enterInTheKatakanaFieldConvertsAndMovesOn_data() {
        QTest::addColumn<QString>("katakana");
        QTest::addColumn<bool>("digits");
        QTest::addColumn<bool>("randomCase");
        QTest::newRow("sakura with digits") << U("サクラ") << true << false;
        QTest::newRow("sakura without digits") << U("サクラ") << false << false;
        QTest::newRow("space capitalises") << U("サクラ　サクラ") << false << false;
        QTest::newRow("digit uses up the capital") << U("サクラ　サクラ") << true << false;
        QTest::newRow("empty field") << QString() << true << false;
        QTest::newRow("random case") << U("ウィンドウ　キャット") << false << true;
    }
    void enterInTheKatakanaFieldConvertsAndMovesOn() {
        QFETCH(QString, katakana);
        QFETCH(bool, digits);
        QFETCH(bool, randomCase);
        SetCalendarTimeSource([] { return std::int64_t{1234567}; });
        ShownDialog d;
        d.dialog.CheckDlgButton(IDC_USE_DIGITS, digits);
        if (randomCase) {
            d.dialog.Item<QRadioButton>(IDC_RANDOM_CASE)->click();
        }
        TypeText(d.Edit(IDC_KATAKANA), katakana);
        QCOMPARE(d.Edit(IDC_KATAKANA)->text(), katakana);
        QTest::keyClick(d.Edit(IDC_KATAKANA), Qt::Key_Return);

        CMapStringToString letters, numbers, symbols;
        FillDefaultTable(letters, numbers);
        CrtRandom random;
        random.srand(1234567u);
        const std::string expected = ConvertKatakana(*FromQString(katakana), letters, numbers, symbols,
                                                     {digits, true, randomCase}, random);
        QCOMPARE(d.Edit(IDC_PASSWORD)->text(), ToQString(expected));
        QCOMPARE(d.dialog.Password(), expected);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.FocusId(), IDC_TYPING);
        QCOMPARE(d.dialog.GetDefID(), IDC_CHECK);
        QCOMPARE(d.dialog.BestTypingTime(), 0u);
    }

    void sakuraBecomes39r_data() {
        QTest::addColumn<bool>("romaji");
        QTest::newRow("typed as romaji") << true;
        QTest::newRow("committed by an input method") << false;
    }
    void sakuraBecomes39r() {
        QFETCH(bool, romaji);
        ShownDialog d;
        if (romaji) {
            QTest::keyClicks(d.Edit(IDC_KATAKANA), QStringLiteral("sakura"));
        } else {
            TypeText(d.Edit(IDC_KATAKANA), U("サクラ"));
        }
        QTest::keyClick(d.Edit(IDC_KATAKANA), Qt::Key_Return);
        QCOMPARE(d.Edit(IDC_KATAKANA)->text(), U("サクラ"));
        QCOMPARE(d.Edit(IDC_PASSWORD)->text(), QStringLiteral("39r"));
        QCOMPARE(d.FocusId(), IDC_TYPING);
    }

    void randomCaseIsSeededFromTheCalendarTimeOnlyInRandomMode_data() {
        QTest::addColumn<bool>("randomCase");
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("random, one second") << true << qint64{1700000000};
        QTest::newRow("random, another second") << true << qint64{1700000001};
        QTest::newRow("capital after space") << false << qint64{1700000000};
    }
    void randomCaseIsSeededFromTheCalendarTimeOnlyInRandomMode() {
        QFETCH(bool, randomCase);
        QFETCH(qint64, seconds);
        int reads = 0;
        SetCalendarTimeSource([&reads, seconds] {
            ++reads;
            return static_cast<std::int64_t>(seconds);
        });
        ShownDialog d;
        d.dialog.CheckDlgButton(IDC_USE_DIGITS, false);
        d.dialog.Item<QRadioButton>(randomCase ? IDC_RANDOM_CASE : IDC_CAPITAL_AFTER_SPACE)->click();
        TypeText(d.Edit(IDC_KATAKANA), U("アカサタナハマヤラワ"));
        // The generator is shared: draws in between must not change the result.
        ProcessRandom().srand(99);
        d.dialog.OnConvert();
        const std::string first = d.dialog.Password();
        ProcessRandom().rand();
        d.dialog.OnConvert();
        QCOMPARE(d.dialog.Password(), first);
        QCOMPARE(reads, randomCase ? 2 : 0);

        CrtRandom random;
        random.srand(static_cast<std::uint32_t>(seconds));
        std::string expected;
        for (const char c : std::string("akstnhmyrw")) {
            const bool upper = random.rand() % 2 == 1;
            expected += randomCase && upper ? static_cast<char>(c - 'a' + 'A') : c;
        }
        QCOMPARE(QString::fromStdString(first), QString::fromStdString(expected));
        if (randomCase) {
            QCOMPARE(ProcessRandom().State(), random.State());
        }
    }

    void symbolsCountOnlyWhileCheckedAndPresent_data() {
        QTest::addColumn<bool>("symbolsChecked");
        QTest::addColumn<QString>("password");
        QTest::newRow("checked") << true << QStringLiteral("!9r");
        QTest::newRow("unchecked") << false << QStringLiteral("39r");
    }
    void symbolsCountOnlyWhileCheckedAndPresent() {
        QFETCH(bool, symbolsChecked);
        QFETCH(QString, password);
        CMapStringToString letters, numbers, symbols;
        FillDefaultTable(letters, numbers);
        symbols.SetAt(Sjis("サ"), "!");
        WriteAll(QString::fromLatin1(kTableFileName),
                 FromStd(SerializeConversionTable(letters, numbers, symbols)));
        MessageBoxRecorder boxes;
        ShownDialog d;
        QVERIFY(boxes.shown.empty());
        QVERIFY(d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
        d.dialog.CheckDlgButton(IDC_USE_SYMBOLS, symbolsChecked);
        TypeText(d.Edit(IDC_KATAKANA), U("サクラ"));
        QTest::mouseClick(d.Item(IDC_CONVERT), Qt::LeftButton);
        QCOMPARE(d.Edit(IDC_PASSWORD)->text(), password);
    }

    void enterPressesTheDefaultButtonAndNeverCloses_data() {
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("pressed");
        QTest::newRow("katakana field") << IDC_KATAKANA << IDC_CONVERT;
        QTest::newRow("typing field") << IDC_TYPING << IDC_CHECK;
        // Elsewhere the default button is the one the last edit made it.
        QTest::newRow("password field") << IDC_PASSWORD << IDC_CONVERT;
        QTest::newRow("digits box") << IDC_USE_DIGITS << IDC_CONVERT;
    }
    void enterPressesTheDefaultButtonAndNeverCloses() {
        QFETCH(int, focus);
        QFETCH(int, pressed);
        MessageBoxRecorder boxes; // a check of the empty typing field says so in a box
        ShownDialog d;
        QSignalSpy converts(d.dialog.Item<QPushButton>(IDC_CONVERT), &QPushButton::clicked);
        QSignalSpy checks(d.dialog.Item<QPushButton>(IDC_CHECK), &QPushButton::clicked);
        d.dialog.GotoDlgCtrl(focus);
        QCOMPARE(d.FocusId(), focus);
        QTest::keyClick(d.Item(focus), Qt::Key_Return);
        QCOMPARE(converts.count(), pressed == IDC_CONVERT ? 1 : 0);
        QCOMPARE(checks.count(), pressed == IDC_CHECK ? 1 : 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), 0);
    }

    void escapeTheCloseBoxAndExitClose_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("escape") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("exit button") << 2;
    }
    void escapeTheCloseBoxAndExitClose() {
        QFETCH(int, way);
        ShownDialog d;
        switch (way) {
        case 0:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            break;
        case 1:
            d.dialog.close();
            break;
        default:
            QTest::mouseClick(d.Item(IDCANCEL), Qt::LeftButton);
            break;
        }
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), int(IDCANCEL));
    }

    void defaultButtonFollowsTheFocus() {
        ShownDialog d;
        const auto defaults = [&d] {
            return QList<int>{d.dialog.GetDefID(), int(d.dialog.HasDefaultStyle(IDC_CONVERT)),
                              int(d.dialog.HasDefaultStyle(IDC_CHECK))};
        };
        QCOMPARE(defaults(), (QList<int>{IDC_CONVERT, 1, 0}));
        d.dialog.GotoDlgCtrl(IDC_TYPING);
        QCOMPARE(defaults(), (QList<int>{IDC_CHECK, 0, 1}));
        d.dialog.GotoDlgCtrl(IDC_USE_DIGITS);
        QCOMPARE(defaults(), (QList<int>{IDC_CHECK, 0, 1}));
        d.dialog.GotoDlgCtrl(IDC_KATAKANA);
        QCOMPARE(defaults(), (QList<int>{IDC_CONVERT, 1, 0}));
        QVERIFY(d.dialog.Item<QPushButton>(IDC_CONVERT)->isDefault());
        QVERIFY(!d.dialog.Item<QPushButton>(IDC_CHECK)->isDefault());

        // The katakana field leaves the default id alone while the convert
        // button already looks like the default; the typing field always sets it.
        d.dialog.SetDefID(IDC_EDIT_TABLE);
        d.dialog.OnKanaFocus();
        QCOMPARE(d.dialog.GetDefID(), IDC_EDIT_TABLE);
        d.dialog.SetDefaultStyle(IDC_CHECK, true);
        d.dialog.OnKanaFocus();
        QCOMPARE(defaults(), (QList<int>{IDC_EDIT_TABLE, 1, 0}));
        d.dialog.OnTypingFocus();
        d.dialog.OnTypingFocus();
        QCOMPARE(defaults(), (QList<int>{IDC_CHECK, 0, 1}));
    }

    void katakanaFieldHoldsAtMost70Bytes_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        const QString k35 = U("ア").repeated(35);
        QTest::newRow("typed, 36th full-width refused") << QString() << k35 + U("イ") << QString() << k35;
        QTest::newRow("pasted, cut at 35 full-width")
            << QString() << QString() << U("カ").repeated(40) << U("カ").repeated(35);
        QTest::newRow("pasted after a half-width, never split")
            << QString() << U("ｱ") << k35 << U("ｱ") + U("ア").repeated(34);
        QTest::newRow("typed half-width fills the last byte")
            << QString() << U("ア").repeated(34) + QStringLiteral("12") << QString()
            << U("ア").repeated(34) + QStringLiteral("12");
        QTest::newRow("characters without a code page 932 form")
            << QString() << U("サ한ク€ラ") << QString() << U("サクラ");
        QTest::newRow("pasted text without a form is refused whole")
            << U("サ") << QString() << U("ク한") << U("サ");
    }
    void katakanaFieldHoldsAtMost70Bytes() {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, result);
        ShownDialog d;
        QLineEdit* edit = d.Edit(IDC_KATAKANA);
        TypeText(edit, before);
        TypeText(edit, typed);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            edit->paste();
        }
        QCOMPARE(edit->text(), result);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(d.dialog.isVisible());
    }

    void damagedTableFileIsReportedOnceAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        CMapStringToString letters, numbers, symbols;
        FillDefaultTable(letters, numbers);
        const QByteArray good = FromStd(SerializeConversionTable(letters, numbers, symbols));
        QTest::newRow("ends early") << good.left(good.size() / 2) << int(TableReadError::EndOfFile);
        QByteArray otherClass = good;
        otherClass[8] = 'X';
        QTest::newRow("other class") << otherClass << int(TableReadError::BadClass);
        QTest::newRow("bytes after the third map")
            << good + QByteArray("zz") << int(TableReadError::TrailingData);
        QTest::newRow("empty file") << QByteArray() << int(TableReadError::EndOfFile);
    }
    void damagedTableFileIsReportedOnceAndLeftAlone() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        const QString file = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
        WriteAll(file, bytes);
        MessageBoxRecorder boxes;
        {
            ShownDialog d;
            QCOMPARE(boxes.shown.size(), std::size_t{1});
            QVERIFY2(boxes.shown[0].text.contains(QDir::toNativeSeparators(file)),
                     qPrintable(boxes.shown[0].text));
            QVERIFY(boxes.shown[0].text.contains(
                ToQString(DescribeTableReadError(static_cast<TableReadError>(error))).trimmed()));
            QCOMPARE(boxes.shown[0].caption, ApplicationName());
            // The built-in table serves this run.
            QCOMPARE(d.dialog.Letters().GetCount(), std::size_t{83});
            QCOMPARE(d.dialog.Digits().GetCount(), std::size_t{10});
            QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
            TypeText(d.Edit(IDC_KATAKANA), U("サクラ"));
            QTest::keyClick(d.Edit(IDC_KATAKANA), Qt::Key_Return);
            QCOMPARE(d.Edit(IDC_PASSWORD)->text(), QStringLiteral("39r"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(ReadAll(file), bytes);
    }

    void windowMenuEndsWithTheAboutEntry() {
        ShownDialog d;
        std::unique_ptr<QMenu> menu(d.dialog.CreateSystemMenu(nullptr));
        const QList<QAction*> actions = menu->actions();
        QVERIFY(actions.size() >= 2);
        QVERIFY(actions[actions.size() - 2]->isSeparator());
        QCOMPARE(actions.back()->text(), U("Q8xj のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        QVERIFY(d.dialog.isVisible());
        actions.front()->trigger();
        QVERIFY(!d.dialog.isVisible());
    }

    void bothEntriesOpenTheAboutBoxModally_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button") << false;
        QTest::newRow("window menu") << true;
    }
    void bothEntriesOpenTheAboutBoxModally() {
        QFETCH(bool, fromMenu);
        ShownDialog d;
        QString caption;
        QTimer::singleShot(0, [&caption] {
            if (auto* about = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                caption = about->windowTitle();
                QTest::keyClick(about, Qt::Key_Escape);
            }
        });
        if (fromMenu) {
            std::unique_ptr<QMenu> menu(d.dialog.CreateSystemMenu(nullptr));
            menu->actions().back()->trigger();
        } else {
            QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_ABOUT), Qt::LeftButton);
        }
        QCOMPARE(caption, U("Q8xjのﾊﾞｰｼﾞｮﾝ情報"));
        QVERIFY(d.dialog.isVisible());
    }

    void tableEditorSetsTheOptionBoxesByTheMaps() {
        ShownDialog d;
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            if (auto* editor = dynamic_cast<CTableEditDlg*>(QApplication::activeModalWidget())) {
                opened = true;
                // Empty every slot and save: both maps become empty.
                for (auto* slot : editor->findChildren<QLineEdit*>()) {
                    slot->clear();
                }
                editor->Item<QPushButton>(1104)->click();
            }
        });
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_EDIT_TABLE), Qt::LeftButton);
        QVERIFY(opened);
        QVERIFY(!d.dialog.GetDlgItem(IDC_USE_DIGITS)->isEnabled());
        QVERIFY(!d.dialog.GetDlgItem(IDC_USE_SYMBOLS)->isEnabled());
        QCOMPARE(QFileInfo(QStringLiteral("Q8.xj")).size(), qint64{36});
        QCOMPARE(d.dialog.Digits().GetCount(), std::size_t{0});
    }

    void rightClickOnTheBackgroundOpensTheWindowMenu() {
        ShownDialog d;
        const QPoint background(d.dialog.width() - 3, d.dialog.height() - 3);
        QVERIFY(d.dialog.childAt(background) == nullptr);
        QContextMenuEvent event(QContextMenuEvent::Mouse, background, d.dialog.mapToGlobal(background));
        QApplication::sendEvent(&d.dialog, &event);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = d.dialog.findChild<QMenu*>()) != nullptr && menu->isVisible());
        QCOMPARE(menu->actions().back()->text(), U("Q8xj のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        menu->close();
    }

    void helpButtonOpensThePageOrSaysWhy_data() {
        QTest::addColumn<bool>("pagePresent");
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("boxShown");
        QTest::newRow("page shown") << true << true << false;
        QTest::newRow("page missing") << false << true << true;
        QTest::newRow("viewer fails") << true << false << true;
    }
    void helpButtonOpensThePageOrSaysWhy() {
        QFETCH(bool, pagePresent);
        QFETCH(bool, viewerStarts);
        QFETCH(bool, boxShown);
        QTemporaryDir folder;
        const QString page = folder.filePath(QStringLiteral("index.html"));
        if (pagePresent) {
            WriteAll(page, "<html></html>");
        }
        SetHelpPageCandidates({folder.filePath(QStringLiteral("missing/index.html")), page});
        QList<QUrl> opened;
        SetUrlOpener([&opened, viewerStarts](const QUrl& url) {
            opened << url;
            return viewerStarts;
        });
        MessageBoxRecorder boxes;
        ShownDialog d;
        QTest::mouseClick(d.Item(ID_HELP), Qt::LeftButton);
        QCOMPARE(opened, pagePresent ? QList<QUrl>{QUrl::fromLocalFile(page)} : QList<QUrl>{});
        QCOMPARE(boxes.shown.size(), std::size_t{boxShown ? 1u : 0u});
        if (boxShown) {
            QVERIFY(boxes.shown[0].text.contains(QDir::toNativeSeparators(page)));
            QCOMPARE(boxes.shown[0].type & MB_ICONMASK, unsigned(MB_ICONSTOP));
        }
        QVERIFY(d.dialog.isVisible());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(CPasswordDlgTest)
#include "CPasswordDlgTest.moc"
