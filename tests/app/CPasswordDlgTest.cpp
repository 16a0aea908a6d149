// The main dialog: its start-up state, layout, default button, what reaches
// the katakana field and the password made of it, the field's 70 bytes, a
// damaged table file, help.
#include "app/CAboutDlg.h"
#include "app/CPasswordDlg.h"

#include "app/HelpPage.h"
#include "app/PasswordDialogTemplate.h"
#include "app/SkipNotice.h"
#include "kana/KanaLineEdit.h"
#include "platform/CalendarTime.h"
#include "platform/CrtRandom.h"
#include "platform/QtText.h"
#include "print/FontChooser.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "strength/StrengthMeter.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/MessageBoxRecorder.h"
#include "table/TableFile.h"
#include "tableedit/CTableEditDlg.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace app;

namespace {

// A dialog run as the program runs it, shown and with its first focus given.
struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    ~ShownDialog() {
        if (dialog.isVisible()) {
            dialog.EndDialog(IDCANCEL);
        }
    }
    QLineEdit* Edit(int id) const { return dialog.Item<QLineEdit>(id); }
    QList<int> Defaults() const {
        return {dialog.GetDefID(), int(dialog.HasDefaultStyle(IDC_CONVERT)),
                int(dialog.HasDefaultStyle(IDC_CHECK))};
    }
    // Latin letters as romaji keys, katakana as keys carrying it.
    void Convert(const QString& text) {
        text.front().unicode() < 128 ? QTest::keyClicks(Edit(IDC_KATAKANA), text)
                                     : TypeText(Edit(IDC_KATAKANA), text);
        QTest::keyClick(Edit(IDC_KATAKANA), Qt::Key_Return);
    }
    CPasswordDlg dialog;
};

} // namespace

class CPasswordDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The table file is read from the current folder; start from an empty one.
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() {
        m_settings.reset();
        QFile::remove(m_dir.filePath(QString::fromLatin1(kTableFileName)));
        platform::SetCalendarTimeSource({});
        SetUrlOpener({});
        SetHelpPageCandidates({});
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    void startsFreshInTheTemplateLayout() {
        MessageBoxRecorder boxes;
        ShownDialog d;
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_CAPITAL_AFTER_SPACE));
        QVERIFY(!d.dialog.IsDlgButtonChecked(IDC_RANDOM_CASE));
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_USE_DIGITS) && d.dialog.IsDlgButtonChecked(IDC_USE_SYMBOLS));
        // The built-in table has no symbols: the box stays checked but cannot be used.
        QVERIFY(d.dialog.IsDlgItemEnabled(IDC_USE_DIGITS) && !d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
        QCOMPARE(QApplication::focusWidget(), d.dialog.GetDlgItem(IDC_KATAKANA));
        QCOMPARE(d.Defaults(), (QList<int>{IDC_CONVERT, 1, 0}));
        QVERIFY(boxes.shown.empty());
        // The empty katakana field says how to type.
        QCOMPARE(d.Edit(IDC_KATAKANA)->placeholderText(), U("ローマ字で入力できます（sakura → サクラ）"));
        QCOMPARE(d.Edit(IDC_KATAKANA)->toolTip(), KanaLineEdit::TypingHint());
        // The label's 384 x 64 dots inside the frame, in pixels whatever the dialog font.
        QCOMPARE(d.dialog.GetDlgItem(IDC_PRINT_IMAGE)->size(), QSize(387, 67));
    }

    // What reaches the field (typed as romaji, keys carrying kana, an input
    // method's commit, a paste) and the password Enter makes of it. Enter then
    // moves on to the typing field and never closes; Escape drops pending
    // letters first and closes only after.
    void enterConvertsMovesOnAndNeverCloses_data() {
        QTest::addColumn<char>("how"); // k keys, t keys carrying text, c commit, p paste
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("digits");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("password");
        QTest::newRow("sakura as romaji") << 'k' << "sakura" << true << U("サクラ") << "39r";
        QTest::newRow("digit first") << 'k' << "1sakura" << true << U("１サクラ") << "39r";
        QTest::newRow("typo") << 'k' << "sakurkasakura" << true << U("サクｒカサクラ") << "39k39r";
        QTest::newRow("capitals, digit, space, sign")
            << 'k' << "Password1 kyoto!" << true << U("パッｓヲｒｄ１　キョト！") << "pwKt";
        QTest::newRow("Enter commits a trailing n") << 'k' << "hon" << true << U("ホン") << "hn";
        QTest::newRow("space capitalises")
            << 't' << U("サクラ　サクラ") << false << U("サクラ　サクラ") << "skrSkr";
        QTest::newRow("digit uses up the capital")
            << 't' << U("サクラ　サクラ") << true << U("サクラ　サクラ") << "39r39r";
        QTest::newRow("pasted half-width") << 'p' << U("1ｻ ｸﾗ") << true << U("１サ　クラ") << "39r";
    }
    void enterConvertsMovesOnAndNeverCloses() {
        QFETCH(char, how);
        QFETCH(QString, input);
        QFETCH(bool, digits);
        MessageBoxRecorder boxes; // a check of the empty typing field says so in a box
        ShownDialog d;
        d.dialog.CheckDlgButton(IDC_USE_DIGITS, digits);
        QLineEdit* field = d.Edit(IDC_KATAKANA);
        if (how == 'k') {
            QTest::keyClicks(field, input);
        } else if (how == 't') {
            TypeText(field, input);
        } else if (how == 'c') {
            QInputMethodEvent commit;
            commit.setCommitString(input);
            QApplication::sendEvent(field, &commit);
        } else {
            QApplication::clipboard()->setText(input);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        }
        QTest::keyClick(field, Qt::Key_Return);
        QTEST(field->text(), "field");
        QTEST(d.Edit(IDC_PASSWORD)->text(), "password");
        QCOMPARE(QApplication::focusWidget(), d.dialog.GetDlgItem(IDC_TYPING));
        QCOMPARE(d.Defaults(), (QList<int>{IDC_CHECK, 0, 1}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        d.dialog.GotoDlgCtrl(IDC_KATAKANA);
        QCOMPARE(d.Defaults(), (QList<int>{IDC_CONVERT, 1, 0}));
        QVERIFY(d.dialog.isVisible());
        QTest::keyClicks(field, QStringLiteral("ky"));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(d.dialog.isVisible());
        QTEST(field->text(), "field");
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), int(IDCANCEL));
    }

    // The strength bar and line follow the password field, in free space of
    // the template: every template control keeps its place and size.
    void strengthFollowsThePasswordAndMovesNothing() {
        ShownDialog d;
        const auto* line = d.dialog.findChild<QLabel*>(QStringLiteral("strengthLine"));
        const StrengthMeter& meter = d.dialog.Strength();
        QVERIFY(line->text().isEmpty() && !meter.Estimate());
        d.Convert(U("サクラ　サクラ　サクラ"));
        const auto estimate = strength::EstimatePassword(d.dialog.Password());
        QCOMPARE(meter.Estimate()->bits, estimate->bits);
        QCOMPARE(line->text(), ToQString(strength::DescribeEstimate(*estimate)));
        QCOMPARE(line->toolTip(), StrengthMeter::Explanation());
        d.dialog.GotoDlgCtrl(IDC_KATAKANA);
        d.Edit(IDC_KATAKANA)->clear();
        QTest::keyClick(d.Edit(IDC_KATAKANA), Qt::Key_Return);
        QVERIFY(line->text().isEmpty() && !meter.Estimate());

        QList<QRect> placed;
        for (const QWidget* child : d.dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            placed << child->geometry();
        }
        for (const dlg::Control& control : kPasswordDialogControls) {
            QRect rect = d.dialog.MapDialogRect(control.x, control.y, control.cx, control.cy);
            if (control.id == IDC_PRINT_IMAGE) { // sized for the label, see startsFresh...
                rect.setSize(d.dialog.GetDlgItem(IDC_PRINT_IMAGE)->size());
            }
            QVERIFY2(placed.contains(rect), control.text.data());
            for (const QWidget* added :
                 {static_cast<const QWidget*>(&meter), static_cast<const QWidget*>(line)}) {
                QVERIFY(d.dialog.rect().contains(added->geometry()));
                QVERIFY2(control.kind == dlg::Kind::GroupBox || !rect.intersects(added->geometry()),
                         control.text.data());
            }
        }
    }

    // What a system input method sends, as ibus with mozc sends it: p a
    // composition (empty: withdrawn), c a commit, k keys of the built-in mode,
    // s the commit Qt's input context sends when the focus moves to the convert
    // button. The notice is gone once the phrase changes.
    void inputMethodSequences_data() {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("notice");
        QTest::newRow("hiragana, composition withdrawn before the commit")
            << QStringList{U("pさくら"), "p", U("cさくら")} << U("サクラ") << "39r"
            << "";
        QTest::newRow("half-width katakana") << QStringList{U("pｻｸﾗ"), U("cｻｸﾗ")} << U("サクラ") << "39r"
                                             << "";
        QTest::newRow("ASCII") << QStringList{"pSakura", "p", "cSakura"} << U("Ｓａｋｕｒａ") << ""
                               << U("変換されない文字があります: Ｓ、ａ、ｋ…");
        QTest::newRow("full-width space without a composition")
            << QStringList{U("cさくら"), U("c　"), U("pさくら"), U("cさくら")} << U("サクラ　サクラ")
            << "39r39r"
            << "";
        QTest::newRow("kanji") << QStringList{U("pさくら"), U("p桜"), U("c桜")} << U("桜") << ""
                               << U("変換されない文字があります: 桜");
        QTest::newRow("withdrawn composition committed on focus-out")
            << QStringList{U("pさくら"), "p", U("sさくら")} << ""
            << ""
            << "";
        QTest::newRow("commit past the limit cut at a character")
            << QStringList{"k" + QString("a").repeated(34), U("pさくら"), U("cさくら")}
            << U("ア").repeated(34) + U("サ") << QString("a").repeated(34) + "3"
            << "";
    }
    void inputMethodSequences() {
        QFETCH(QStringList, events);
        ShownDialog d;
        QLineEdit* field = d.Edit(IDC_KATAKANA);
        for (const QString& step : events) {
            const QString text = step.mid(1);
            if (step.startsWith('k')) {
                QTest::keyClicks(field, text);
                continue;
            }
            QInputMethodEvent event(step.startsWith('p') ? text : QString(), {});
            event.setCommitString(step.startsWith('p') ? QString() : text);
            QApplication::sendEvent(field, &event);
            if (!step.startsWith('s')) {
                QCoreApplication::processEvents(); // a real commit comes on its own
            }
        }
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_CONVERT), Qt::LeftButton);
        QTEST(field->text(), "field");
        QTEST(d.Edit(IDC_PASSWORD)->text(), "password");
        auto* notice = d.dialog.findChild<SkipNotice*>();
        QTEST(notice->Notice(), "notice");
        field->insert(U("ア"));
        QCOMPARE(notice->Notice(), QString());
    }

    void randomCaseIsSeededFromTheCalendarTime() {
        platform::SetCalendarTimeSource([] { return std::int64_t{1700000000}; });
        ShownDialog d;
        d.dialog.CheckDlgButton(IDC_USE_DIGITS, false);
        d.dialog.Item<QRadioButton>(IDC_RANDOM_CASE)->click();
        TypeText(d.Edit(IDC_KATAKANA), U("アカサタナハマヤラワ"));
        CrtRandom random;
        random.srand(1700000000u);
        std::string expected;
        for (const char c : std::string("akstnhmyrw")) {
            expected += random.rand() % 2 == 1 ? char(c - 'a' + 'A') : c;
        }
        d.dialog.OnConvert();
        ProcessRandom().rand(); // the generator is shared: draws in between must not matter
        d.dialog.OnConvert();
        QCOMPARE(QString::fromStdString(d.dialog.Password()), QString::fromStdString(expected));
    }

    void katakanaFieldHoldsAtMost70Bytes() {
        ShownDialog d;
        QLineEdit* edit = d.Edit(IDC_KATAKANA);
        const auto enter = [edit](const QString& typed, const QString& pasted) {
            edit->clear();
            TypeText(edit, typed);
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            return edit->text();
        };
        const QString a34 = U("ア").repeated(34);
        QCOMPARE(enter(a34 + U("アイ"), QString()), a34 + U("ア")); // the 36th full-width is refused
        QCOMPARE(enter(QString(), U("カ").repeated(40)), U("カ").repeated(35));
        // Pasted half-width becomes full-width before the cut.
        QCOMPARE(enter(QString(), U("ｱ") + a34 + U("アア")), U("ア") + a34);
        QCOMPARE(enter(U("サ한ク€ラ"), U("ク한")), U("サクラ")); // no code page 932 form
        // Romaji at the end: a syllable that would pass the limit is refused whole.
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("a").repeated(33) + "kyakya\r");
        QCOMPARE(edit->text(), U("ア").repeated(33) + U("キャ"));
    }

    void damagedTableFileIsReportedAndLeftAlone() {
        const QString file = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly)); // an empty file ends too early
        MessageBoxRecorder boxes;
        {
            ShownDialog d;
            QCOMPARE(boxes.shown.size(), std::size_t{1});
            const QString text = boxes.shown[0].text;
            QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
            QVERIFY(text.contains(ToQString(DescribeTableReadError(TableReadError::EndOfFile)).trimmed()));
            // The built-in table serves this run.
            d.Convert(U("サクラ"));
            QCOMPARE(d.Edit(IDC_PASSWORD)->text(), QStringLiteral("39r"));
        }
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(QFileInfo(file).size(), qint64{0});
    }

    void bothEntriesOpenTheAboutBox() {
        ShownDialog d;
        for (const bool fromMenu : {false, true}) {
            QString caption;
            QTimer::singleShot(0, [&caption] {
                QWidget* about = QApplication::activeModalWidget();
                caption = about->windowTitle();
                QTest::keyClick(about, Qt::Key_Escape);
            });
            if (fromMenu) {
                std::unique_ptr<QMenu> menu(d.dialog.CreateSystemMenu(nullptr));
                menu->actions().back()->trigger();
            } else {
                QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_ABOUT), Qt::LeftButton);
            }
            QCOMPARE(caption, U("Q8xjのﾊﾞｰｼﾞｮﾝ情報"));
        }
        QVERIFY(d.dialog.isVisible());
    }

    void tableEditorSetsTheOptionBoxesByTheMaps() {
        ShownDialog d;
        QTimer::singleShot(0, [] {
            auto* editor = dynamic_cast<CTableEditDlg*>(QApplication::activeModalWidget());
            // Empty every slot and save: no digits and no symbols are left.
            for (auto* slot : editor->findChildren<QLineEdit*>()) {
                slot->clear();
            }
            editor->Item<QPushButton>(1104)->click();
        });
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_EDIT_TABLE), Qt::LeftButton);
        QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_USE_DIGITS));
        QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
    }

    void printImageShowsThePasswordInTheChosenColour() {
        ShownDialog d;
        QWidget* area = d.dialog.GetDlgItem(IDC_PRINT_IMAGE);
        d.Convert(U("サクラ"));
        QCOMPARE(area->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 PrintImage::Render("39r", PrintStyle(&d.dialog)).convertToFormat(QImage::Format_RGB32));
        SetFontChooserHandler([](QWidget*, FontChoice choice) -> std::optional<FontChoice> {
            choice.colour = Qt::white; // white on white: nothing left to print
            return choice;
        });
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_CHANGE_FONT), Qt::LeftButton);
        SetFontChooserHandler({});
        QCOMPARE(PrintImage::Label(area->grab().toImage()).DotCount(), std::size_t{0});
    }

    void helpButtonSaysWhenThePageIsMissing() {
        const QString page = QDir::current().absoluteFilePath(QStringLiteral("help/index.html"));
        SetHelpPageCandidates({page});
        SetUrlOpener([](const QUrl&) { return true; });
        MessageBoxRecorder boxes;
        ShownDialog d;
        QTest::mouseClick(d.dialog.GetDlgItem(ID_HELP), Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY(boxes.shown[0].text.contains(QDir::toNativeSeparators(page)));
        QCOMPARE(boxes.shown[0].icon, platform::Icon::Stop);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_MAIN(CPasswordDlgTest)
#include "CPasswordDlgTest.moc"
