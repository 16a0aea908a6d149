// Changing the print font: the handler's answers through the chooser seam,
// and the chooser dialog itself driven as a user would.
#include "print/FontChoiceDialog.h"

#include "print/FontChooser.h"
#include "print/PrintStyle.h"
#include "print/QtFont.h"
#include "support/GuiTestHelpers.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <optional>
#include <vector>

namespace {

enum class Answer { Cancel, NewFont, NewColourOnly, Translucent, Uncreatable };

// Answers every chooser with `answers` in turn and keeps what each started from.
class ChooserRecorder {
public:
    ChooserRecorder() {
        SetFontChooserHandler([this](QWidget*, const FontChoice& start) -> std::optional<FontChoice> {
            starts.push_back(start);
            if (answers.empty()) {
                return std::nullopt;
            }
            std::optional<FontChoice> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
    }
    ~ChooserRecorder() { SetFontChooserHandler({}); }
    ChooserRecorder(const ChooserRecorder&) = delete;
    ChooserRecorder& operator=(const ChooserRecorder&) = delete;

    std::vector<std::optional<FontChoice>> answers;
    std::vector<FontChoice> starts;
};

FontChoice Chosen(Answer answer, const PrintStyle& current) {
    FontChoice choice{current.Description(), current.TextColour()};
    switch (answer) {
    case Answer::Cancel:
        break;
    case Answer::NewFont:
        choice.font.faceName = "IPAGothic";
        choice.font.height = -30;
        choice.font.weight = 700;
        choice.font.underline = 1;
        choice.colour = QColor(0x80, 0x00, 0x00);
        break;
    case Answer::NewColourOnly:
        choice.colour = QColor(0xFF, 0x00, 0x00);
        break;
    case Answer::Translucent:
        choice.colour = QColor(0x00, 0x00, 0xFF, 0x40);
        break;
    case Answer::Uncreatable:
        choice.font.weight = FontDescription::kMaxWeight + 1;
        choice.colour = QColor(0xFF, 0x00, 0x00);
        break;
    }
    return choice;
}

// A dialog started from the print font at start in `colour`.
FontChoice StartChoice(QColor colour) {
    return FontChoice{PrintStyle().Description(), colour};
}

QListWidgetItem* ColourItem(const FontChoiceDialog& dialog, const QString& name) {
    const auto* colours = dialog.findChild<QListWidget*>(QStringLiteral("colours"));
    const QList<QListWidgetItem*> items = colours->findItems(name, Qt::MatchExactly);
    return items.size() == 1 ? items.front() : nullptr;
}

QCheckBox* EffectBox(const FontChoiceDialog& dialog, const QString& text) {
    for (auto* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class FontChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void changePrintFont_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("redraw");
        QTest::addColumn<bool>("changed");
        QTest::newRow("cancel keeps font and colour") << Answer::Cancel << false << false;
        QTest::newRow("OK takes font and colour") << Answer::NewFont << true << true;
        QTest::newRow("OK takes a colour alone") << Answer::NewColourOnly << true << true;
        QTest::newRow("OK with a font that cannot be made keeps both")
            << Answer::Uncreatable << true << false;
    }
    void changePrintFont() {
        QFETCH(Answer, answer);
        QFETCH(bool, redraw);
        QFETCH(bool, changed);
        PrintStyle style;
        const FontChoice before{style.Description(), style.TextColour()};
        const FontChoice choice = Chosen(answer, style);
        ChooserRecorder chooser;
        if (answer != Answer::Cancel) {
            chooser.answers.push_back(choice);
        }
        QCOMPARE(style.ChangeFont(nullptr), redraw);
        QCOMPARE(chooser.starts.size(), std::size_t{1});
        QVERIFY(chooser.starts.front() == before);
        const FontChoice expected = changed ? choice : before;
        QVERIFY(style.Description() == expected.font);
        QCOMPARE(style.TextColour(), expected.colour);
        QCOMPARE(style.Font(), CreateQFont(expected.font).value());
    }

    // Each opening starts from the font and colour as they stand after the
    // openings before it.
    void nextOpeningStartsFromTheCurrentChoice_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<int>("startOfLastFromAnswer"); // -1: the font at start
        QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << -1;
        QTest::newRow("OK") << QList<Answer>{Answer::NewFont} << 0;
        QTest::newRow("OK then cancel") << QList<Answer>{Answer::NewFont, Answer::Cancel} << 0;
        QTest::newRow("OK then a font that cannot be made")
            << QList<Answer>{Answer::NewFont, Answer::Uncreatable} << 0;
        QTest::newRow("OK, cancel, OK")
            << QList<Answer>{Answer::NewFont, Answer::Cancel, Answer::NewColourOnly} << 2;
    }
    void nextOpeningStartsFromTheCurrentChoice() {
        QFETCH(QList<Answer>, answers);
        QFETCH(int, startOfLastFromAnswer);
        PrintStyle style;
        const FontChoice initial{style.Description(), style.TextColour()};
        ChooserRecorder chooser;
        std::vector<FontChoice> given;
        for (const Answer answer : answers) {
            const FontChoice choice = Chosen(answer, style);
            given.push_back(choice);
            chooser.answers.push_back(answer == Answer::Cancel ? std::nullopt : std::optional(choice));
            style.ChangeFont(nullptr);
        }
        style.ChangeFont(nullptr);
        QCOMPARE(chooser.starts.size(), static_cast<std::size_t>(answers.size() + 1));
        const FontChoice expected =
            startOfLastFromAnswer < 0 ? initial : given[static_cast<std::size_t>(startOfLastFromAnswer)];
        QVERIFY(chooser.starts.back() == expected);
    }

    void colourIsKeptOpaque() {
        PrintStyle style;
        ChooserRecorder chooser;
        chooser.answers.push_back(Chosen(Answer::Translucent, style));
        QVERIFY(style.ChangeFont(nullptr));
        QCOMPARE(style.TextColour(), QColor(0x00, 0x00, 0xFF));
        QCOMPARE(style.TextColour().alpha(), 255);
    }

    void dialogStartsFromFontAndColour_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("item");
        QTest::newRow("black") << QColor(Qt::black) << QString::fromUtf8("黒");
        QTest::newRow("navy") << QColor(0, 0, 0x80) << QString::fromUtf8("紺");
        QTest::newRow("a colour of its own") << QColor(254, 254, 254) << QString::fromUtf8("カスタム");
    }
    void dialogStartsFromFontAndColour() {
        QFETCH(QColor, colour);
        QFETCH(QString, item);
        const FontChoice start = StartChoice(colour);
        FontChoiceDialog dialog(start);
        const auto* colours = dialog.findChild<QListWidget*>(QStringLiteral("colours"));
        QCOMPARE(colours->currentItem()->text(), item);
        const QFont shown = dialog.findChild<QFontDialog*>()->currentFont();
        QCOMPARE(shown.family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(shown.pointSize(), 36);
        // Untouched, it gives back what it was given.
        const std::optional<FontChoice> choice = dialog.Choice();
        QVERIFY(choice.has_value());
        QVERIFY(*choice == start);
    }

    void standardColours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        const struct {
            const char* name;
            QRgb rgb;
        } colours[] = {
            {"黒", 0x000000},   {"栗色", 0x800000}, {"緑", 0x008000},     {"オリーブ", 0x808000},
            {"紺", 0x000080},   {"紫", 0x800080},   {"青緑", 0x008080},   {"灰色", 0x808080},
            {"銀色", 0xC0C0C0}, {"赤", 0xFF0000},   {"ライム", 0x00FF00}, {"黄", 0xFFFF00},
            {"青", 0x0000FF},   {"赤紫", 0xFF00FF}, {"水色", 0x00FFFF},   {"白", 0xFFFFFF},
        };
        for (const auto& [name, rgb] : colours) {
            QTest::newRow(name) << QString::fromUtf8(name) << QColor(rgb);
        }
    }
    void standardColours() {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        FontChoiceDialog dialog(StartChoice(Qt::black));
        QCOMPARE(dialog.findChild<QListWidget*>(QStringLiteral("colours"))->count(), 16);
        QListWidgetItem* item = ColourItem(dialog, name);
        QVERIFY(item != nullptr);
        item->listWidget()->setCurrentItem(item);
        QCOMPARE(dialog.Choice()->colour, colour);
    }

    void effects_data() {
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::newRow("underline") << true << false;
        QTest::newRow("strike-out") << false << true;
        QTest::newRow("both") << true << true;
    }
    void effects() {
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        const FontChoice start = StartChoice(Qt::black);
        FontChoiceDialog dialog(start);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCheckBox* underlineBox = EffectBox(dialog, QString::fromUtf8("下線(&U)"));
        QCheckBox* strikeOutBox = EffectBox(dialog, QString::fromUtf8("取り消し線(&K)"));
        QVERIFY(underlineBox != nullptr && strikeOutBox != nullptr);
        if (underline) {
            QTest::mouseClick(underlineBox, Qt::LeftButton);
        }
        if (strikeOut) {
            QTest::mouseClick(strikeOutBox, Qt::LeftButton);
        }
        FontChoice expected = start;
        expected.font.underline = underline ? 1 : 0;
        expected.font.strikeOut = strikeOut ? 1 : 0;
        QVERIFY(dialog.Choice() == expected);
        dialog.reject();
    }

    // What the user reads is Japanese: every label, box and group title.
    void labelsAreJapanese() {
        FontChoiceDialog dialog(StartChoice(Qt::black));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QStringList texts;
        for (const auto* label : dialog.findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty()) {
                texts << label->text();
            }
        }
        for (const auto* box : dialog.findChildren<QCheckBox*>()) {
            texts << box->text();
        }
        for (const auto* group : dialog.findChildren<QGroupBox*>()) {
            texts << group->title();
        }
        QVERIFY(texts.size() >= 7);
        for (const QString& text : texts) {
            const bool japanese =
                std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x7F; });
            QVERIFY2(japanese, qPrintable(text));
        }
        dialog.reject();
    }

    // The buttons and keys that end the dialog, with the picker kept inside it.
    void endingTheDialog_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK button") << "ok" << int(QDialog::Accepted);
        QTest::newRow("cancel button") << "cancel" << int(QDialog::Rejected);
        QTest::newRow("Enter in the font list") << "enter" << int(QDialog::Accepted);
        QTest::newRow("Escape in the font list") << "escape" << int(QDialog::Rejected);
    }
    void endingTheDialog() {
        QFETCH(QString, how);
        QFETCH(int, result);
        FontChoiceDialog dialog(StartChoice(Qt::black));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* picker = dialog.findChild<QFontDialog*>();
        auto* list = picker->findChild<QListView*>();
        if (how == QLatin1String("ok") || how == QLatin1String("cancel")) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        } else {
            list->setFocus();
            QTest::keyClick(list, how == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QVERIFY(!picker->isHidden());
    }

    // Through the seam's real path: the modal dialog shows and its OK returns the choice.
    void chooserShowsTheDialog_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("cancel") << false;
    }
    void chooserShowsTheDialog() {
        QFETCH(bool, ok);
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<FontChoiceDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            shown = true;
            QListWidgetItem* red = ColourItem(*dialog, QString::fromUtf8("赤"));
            red->listWidget()->setCurrentItem(red);
            dialog->findChild<QPushButton*>(ok ? QStringLiteral("ok") : QStringLiteral("cancel"))->click();
        });
        const FontChoice start = StartChoice(Qt::black);
        const std::optional<FontChoice> choice = ChooseFont(nullptr, start);
        QVERIFY(shown);
        QCOMPARE(choice.has_value(), ok);
        if (ok) {
            QVERIFY(choice->font == start.font);
            QCOMPARE(choice->colour, QColor(Qt::red));
        }
    }
};

QTEST_MAIN(FontChoiceTest)
#include "FontChoiceTest.moc"
