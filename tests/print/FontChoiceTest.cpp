// Changing the print font: the handler's answers through the chooser seam,
// and the chooser dialog itself driven as a user would.
#include "print/FontChoiceDialog.h"

#include "platform/QtTranslations.h"
#include "print/FontChooser.h"
#include "print/PrintStyle.h"
#include "print/QtFont.h"
#include "support/GuiTestHelpers.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include <optional>
#include <vector>

namespace {

enum Answer { Cancel, NewFont, Uncreatable };

// Makes `text` the current row of the picker's list that holds it, as a click would.
bool Highlight(QFontDialog* picker, const QString& text) {
    for (auto* view : picker->findChildren<QListView*>()) {
        QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data().toString() == text) {
                view->setCurrentIndex(model->index(row, 0));
                return true;
            }
        }
    }
    return false;
}

} // namespace

class FontChoiceTest : public QObject {
    Q_OBJECT
private slots:
    // As the program does: Qt's texts in Japanese where the translation is installed.
    void initTestCase() { InstallQtTranslations(*qApp); }
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    // The first opening answers; the next one, cancelled, shows what it starts from.
    void changePrintFont_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("cancel keeps font and colour") << int(Cancel);
        QTest::newRow("OK takes font and an opaque colour") << int(NewFont);
        QTest::newRow("OK with a font that cannot be made keeps both") << int(Uncreatable);
    }
    void changePrintFont() {
        QFETCH(int, answer);
        PrintStyle style;
        const FontChoice before{style.Description(), style.TextColour()};
        FontChoice chosen = before;
        chosen.font.faceName = "IPAGothic";
        chosen.font.height = -30;
        chosen.font.underline = 1;
        chosen.font.weight = answer == Uncreatable ? FontDescription::kMaxWeight + 1 : 700;
        chosen.colour = QColor(0x80, 0x00, 0x00, 0x40);
        std::vector<FontChoice> starts;
        SetFontChooserHandler([&](QWidget*, const FontChoice& start) -> std::optional<FontChoice> {
            starts.push_back(start);
            return answer == Cancel || starts.size() > 1 ? std::nullopt : std::optional(chosen);
        });
        const bool redraw = style.ChangeFont(nullptr);
        style.ChangeFont(nullptr);
        SetFontChooserHandler({});
        QCOMPARE(redraw, answer != Cancel);
        FontChoice expected = answer == NewFont ? chosen : before;
        expected.colour.setAlpha(255);
        QCOMPARE(starts.size(), std::size_t{2});
        QVERIFY(starts[0] == before);
        QVERIFY(starts[1] == expected);
        QVERIFY(style.Description() == expected.font);
        QCOMPARE(style.TextColour(), expected.colour);
        QCOMPARE(style.Font(), CreateQFont(expected.font).value());
    }

    // The real chooser shows the font and colour it is given, and Enter in its
    // font list ends it with OK; untouched, it gives back what it was given.
    void realChooser_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("pick");
        QTest::newRow("picks red and underline") << QColor(0, 0, 0x80) << "紺" << int(Qt::Key_Return) << true;
        QTest::newRow("a colour of its own, untouched")
            << QColor(254, 254, 254) << "カスタム" << int(Qt::Key_Return) << false;
        QTest::newRow("Escape cancels") << QColor(Qt::black) << "黒" << int(Qt::Key_Escape) << true;
    }
    void realChooser() {
        QFETCH(QColor, colour);
        QFETCH(QString, item);
        QFETCH(int, key);
        QFETCH(bool, pick);
        FontChoice start{PrintStyle().Description(), colour};
        start.font.escapement = 900;
        QString shownColour;
        QFont shownFont;
        bool stillOpen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<FontChoiceDialog*>(QApplication::activeModalWidget());
            auto* colours = dialog->findChild<QListWidget*>(QStringLiteral("colours"));
            shownColour = colours->currentItem()->text();
            shownFont = dialog->findChild<QFontDialog*>()->currentFont();
            if (pick) {
                colours->setCurrentItem(
                    colours->findItems(QString::fromUtf8("赤"), Qt::MatchExactly).value(0));
                for (auto* box : dialog->findChildren<QCheckBox*>()) {
                    const QString text = QString(box->text()).remove('&');
                    if (text.contains(QString::fromUtf8("下線")) || text == QStringLiteral("Underline")) {
                        box->click();
                    }
                }
            }
            auto* list = dialog->findChild<QFontDialog*>()->findChild<QListView*>();
            list->setFocus();
            QTest::keyClick(list, Qt::Key(key));
            stillOpen = dialog->isVisible();
            if (stillOpen) {
                dialog->reject();
            }
        });
        const std::optional<FontChoice> choice = ChooseFont(nullptr, start);
        QVERIFY(!stillOpen);
        QCOMPARE(shownColour, item);
        QCOMPARE(shownFont.family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(shownFont.pointSize(), 36);
        FontChoice expected = start;
        if (pick) {
            expected.colour = Qt::red;
            expected.font.underline = 1;
        }
        QCOMPARE(choice.has_value(), key == Qt::Key_Return);
        QVERIFY(!choice || *choice == expected);
    }

    // Choosing another face asks which style to keep (the choice itself is
    // tested on its own): italic for oblique, else the face's regular style.
    void newFaceKeepsTheStyle_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("newFace");
        QTest::addColumn<QString>("expected");
        QTest::newRow("oblique becomes italic") << "DejaVu Sans"
                                                << "Bold Oblique"
                                                << "DejaVu Serif"
                                                << "Bold Italic";
        QTest::newRow("missing style: regular, not the first name") << "DejaVu Sans"
                                                                    << "ExtraLight"
                                                                    << "DejaVu Serif"
                                                                    << "Book";
    }
    void newFaceKeepsTheStyle() {
        QFETCH(QString, face);
        QFETCH(QString, style);
        QFETCH(QString, newFace);
        QFETCH(QString, expected);
        for (const QString& family : {face, newFace}) {
            if (!QFontDatabase::families().contains(family)) {
                QSKIP(qPrintable(family + " is not installed"));
            }
        }
        FontChoiceDialog dialog(FontChoice{PrintStyle().Description(), Qt::black});
        auto* picker = dialog.findChild<QFontDialog*>();
        QVERIFY(Highlight(picker, face));
        QVERIFY(Highlight(picker, style));
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), style);
        QVERIFY(Highlight(picker, newFace));
        QCOMPARE(picker->currentFont().family(), newFace);
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), expected);
    }
};

QTEST_MAIN(FontChoiceTest)
#include "FontChoiceTest.moc"
