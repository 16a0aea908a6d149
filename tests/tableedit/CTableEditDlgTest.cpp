// The table editor: the grid filled from the maps, the checks and messages of
// the save, and what each way out leaves in the maps and the table file.
// Every test runs in its own empty current folder, where "Q8.xj" lives.
#include "tableedit/CTableEditDlg.h"

#include "platform/Cp932LineEdit.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/Sjis.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <utility>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>

namespace {

constexpr int kSave = 1104, kCancel = 2, kRestore = 1105;
// A box's buttons and icon.
using BoxKind = std::pair<platform::Buttons, platform::Icon>;
constexpr BoxKind kQuestion{platform::Buttons::OkCancel, platform::Icon::Exclamation};
constexpr BoxKind kStop{platform::Buttons::Ok, platform::Icon::Stop};

using Entries = std::map<QString, QString>;
using Contents = QList<Entries>;
using SlotTexts = QList<QPair<int, QString>>;

Entries EntriesOf(const CMapStringToString& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries.emplace(ToQString(entry.key), ToQString(entry.value));
    }
    return entries;
}

Contents ContentsOf(const ConversionTable& table) {
    return {EntriesOf(table.letters), EntriesOf(table.digits), EntriesOf(table.symbols)};
}

ConversionTable FromFile() {
    ConversionTable table;
    LoadConversionTable(table);
    return table;
}

ConversionTable Defaults() {
    ConversionTable table;
    FillDefaultTable(table);
    return table;
}

// A table file holding only ア -> a, unlike the defaults.
std::string SmallBytes() {
    ConversionTable table;
    table.letters.SetAt(Sjis("ア"), "a");
    return SerializeConversionTable(table);
}

void Open(CTableEditDlg& dialog, ConversionTable& table) {
    dialog.SetTable(table);
    dialog.Create();
    dialog.show();
}

void Click(CTableEditDlg& dialog, int id) {
    dialog.Item<QPushButton>(id)->click();
}

// The texts of the boxes shown; a box with other buttons, icon or caption is marked.
QStringList Shown(const MessageBoxRecorder& boxes, BoxKind kind) {
    QStringList texts;
    for (const auto& box : boxes.shown) {
        const bool same =
            BoxKind{box.buttons, box.icon} == kind && box.caption == platform::ApplicationName();
        texts << (same ? "" : "(other box) ") + box.text;
    }
    return texts;
}

const QString kSaveFailed = QStringLiteral("変換表を保存できませんでした。\r\n");
const QString kIsFolder = QStringLiteral("Q8.xj はフォルダーなので、ファイルとして使えません。");

} // namespace

Q_DECLARE_METATYPE(SlotTexts)
Q_DECLARE_METATYPE(Contents)

class CTableEditDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_folder->path()));
    }

    void cleanup() {
        QDir::setCurrent(m_previous);
        m_folder.reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    void templateHasTheGrid() {
        CTableEditDlg dialog;
        dialog.Create();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Q8xj 変換表"));
        QCOMPARE(dialog.size(), dialog.MapDialogRect(0, 0, 269, 352).size());
        QCOMPARE(dialog.findChildren<Cp932LineEdit*>().size(), 191);
        for (const auto* edit : dialog.findChildren<Cp932LineEdit*>()) {
            QCOMPARE(edit->LimitText(), 0);
        }
    }

    // A control found by its id, or a label (id 0) by its text.
    void controlsSitWhereTheTemplatePutsThem_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("units");
        QTest::newRow("row b slot 1") << 1002 << "" << QRect(8, 20, 22, 12);
        QTest::newRow("row c slot 1") << 1001 << "" << QRect(8, 33, 22, 12);
        QTest::newRow("row n slot 6") << 1156 << "" << QRect(123, 176, 22, 12);
        QTest::newRow("row / slot 2") << 1277 << "" << QRect(220, 332, 22, 12);
        QTest::newRow("label n after the sixth slot") << 0 << "→ n" << QRect(147, 177, 15, 8);
        QTest::newRow("hint") << 0 << "キーはふつうカタカナで、全角３文字以内です。"
                              << QRect(148, 258, 42, 33);
        QTest::newRow("save") << kSave << "保存する" << QRect(145, 299, 48, 14);
        QTest::newRow("cancel") << kCancel << "ｷｬﾝｾﾙ" << QRect(145, 315, 48, 14);
        QTest::newRow("restore") << kRestore << "初期値に戻す" << QRect(145, 331, 48, 14);
    }

    void controlsSitWhereTheTemplatePutsThem() {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(QRect, units);
        CTableEditDlg dialog;
        dialog.Create();
        const QWidget* control = id != 0 ? dialog.GetDlgItem(id) : nullptr;
        for (const auto* label : dialog.findChildren<QLabel*>()) {
            control = id == 0 && label->text() == text ? label : control;
        }
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(),
                 dialog.MapDialogRect(units.x(), units.y(), units.width(), units.height()));
        QVERIFY(text.isEmpty() || control->property("text").toString() == text);
    }

    // A row shows the first keys its map yields for its character, lowest slot first.
    void rowsTakeTheFirstKeysTheMapYields_data() {
        QTest::addColumn<char>("group");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QList<int>>("shownIn");
        QTest::newRow("six keys for n") << 'L' << "n" << 6 << QList<int>{1013, 1039, 1065, 1091, 1143, 1156};
        QTest::newRow("six keys for k") << 'L' << "k" << 6 << QList<int>{1010, 1036, 1062, 1088, 1140};
        QTest::newRow("capital A in row a") << 'L' << "A" << 2 << QList<int>{1000, 1026};
        QTest::newRow("four keys for a digit") << 'D' << "7" << 4 << QList<int>{1233, 1259, 1361};
        QTest::newRow("three keys for a symbol") << 'S' << "@" << 3 << QList<int>{1241, 1267};
        QTest::newRow("digit in the letters map") << 'L' << "5" << 1 << QList<int>{};
        QTest::newRow("two characters") << 'L' << "ab" << 1 << QList<int>{};
    }

    void rowsTakeTheFirstKeysTheMapYields() {
        QFETCH(char, group);
        QFETCH(QString, value);
        QFETCH(int, keys);
        QFETCH(QList<int>, shownIn);
        ConversionTable table;
        auto& map = group == 'L' ? table.letters : group == 'D' ? table.digits : table.symbols;
        for (const QChar key : QStringLiteral("カキクケコサ").left(keys)) {
            map.SetAt(FromQString(key).value(), value.toStdString());
        }
        QStringList inMapOrder;
        for (const auto& entry : map) {
            inMapOrder << ToQString(entry.key);
        }
        CTableEditDlg dialog;
        dialog.SetTable(table);
        dialog.Create();
        const auto edits = dialog.findChildren<Cp932LineEdit*>();
        QCOMPARE(
            std::count_if(edits.begin(), edits.end(), [](auto* edit) { return !edit->text().isEmpty(); }),
            shownIn.size());
        for (int slot = 0; slot < shownIn.size(); ++slot) {
            QCOMPARE(dialog.Item<QLineEdit>(shownIn[slot])->text(), inMapOrder[slot]);
        }
    }

    // The built-in table fits the grid whole, so saving it unchanged writes it back.
    // No button is a default one, so Enter in a key slot does nothing.
    void editTableShowsTheDefaultsWholeAndEnterChangesNothing() {
        ConversionTable table = Defaults();
        CTableEditDlg dialog;
        // Modal, with the focus in row a's first slot, and still open and unsaved after Enter.
        bool asExpected = false;
        MessageBoxRecorder boxes;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(dialog.GetDlgItem(1010), Qt::Key_Return);
            QTest::keyClick(dialog.GetDlgItem(1010), Qt::Key_Enter, Qt::KeypadModifier);
            asExpected = QApplication::activeModalWidget() == &dialog && dialog.isVisible() &&
                         dialog.focusWidget() == dialog.GetDlgItem(1000) && !QFile::exists(kTableFileName);
            Click(dialog, kSave);
        });
        QCOMPARE(dialog.EditTable(table), static_cast<int>(IDOK));
        QVERIFY(asExpected);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(ContentsOf(FromFile()), ContentsOf(Defaults()));
    }

    void saveChecksEveryKey_data() {
        QTest::addColumn<SlotTexts>("grid");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<Contents>("after");
        const auto Maps = [](const Entries& letters, const Entries& digits = {},
                             const Entries& symbols = {}) {
            return Contents{letters, digits, symbols};
        };
        const auto cut = [](const QString& key, const QString& to) {
            return key + " は、３文字以上です。\r\n" + to + " に切り詰めます。";
        };
        const auto twice = [](const QString& key, const QString& earlier, const QString& now) {
            return key + " が " + earlier + " と " + now + " で指定されています。\r\n" + key + " → " +
                   earlier + " は無効になります。";
        };
        QTest::newRow("six bytes, spaces and a key in two maps pass")
            << SlotTexts{{1010, "カキク"}, {1000, " a b "}, {1227, "カキク"}} << QStringList{}
            << Maps({{"カキク", "k"}, {" a b ", "a"}}, {{"カキク", "1"}});
        QTest::newRow("four full-width are cut to three")
            << SlotTexts{{1000, "アイウエ"}} << QStringList{cut("アイウエ", "アイウ")}
            << Maps({{"アイウ", "a"}});
        QTest::newRow("the limit counts bytes and keeps whole characters")
            << SlotTexts{{1000, "ｱｲｳｴｵｶｷ"}, {1026, "アイｳｴｵ"}, {1052, "ｱアイウ"}}
            << QStringList{cut("ｱｲｳｴｵｶｷ", "ｱｲｳｴｵｶ"), cut("アイｳｴｵ", "アイｳｴ"), cut("ｱアイウ", "ｱアイ")}
            << Maps({{"ｱｲｳｴｵｶ", "a"}, {"アイｳｴ", "a"}, {"ｱアイ", "a"}});
        QTest::newRow("same key twice in row k, then in row q")
            << SlotTexts{{1010, "カ"}, {1036, "カ"}, {1016, "カ"}}
            << QStringList{twice("カ", "k", "k"),
                           "カ が k と q で指定されています。\r\nカ → k は無効になります。"}
            << Maps({{"カ", "q"}});
        QTest::newRow("a cut key meets an earlier one")
            << SlotTexts{{1000, "アイウ"}, {1026, "アイウエ"}}
            << QStringList{cut("アイウエ", "アイウ"), twice("アイウ", "a", "a")} << Maps({{"アイウ", "a"}});
        QTest::newRow("row n slot 6 repeats a key of row a")
            << SlotTexts{{1000, "ア"}, {1156, "ア"}} << QStringList{} << Maps({{"ア", "n"}});
        QTest::newRow("row n slot 6 is saved whole")
            << SlotTexts{{1156, "アイウエ"}} << QStringList{} << Maps({{"アイウエ", "n"}});
        QTest::newRow("digit and symbol rows are checked too")
            << SlotTexts{{1227, "サ"}, {1228, "サ"}, {1277, "アイウエ"}}
            << QStringList{twice("サ", "1", "2"), cut("アイウエ", "アイウ")}
            << Maps({}, {{"サ", "2"}}, {{"アイウ", "/"}});
        QTest::newRow("all slots empty") << SlotTexts{} << QStringList{} << Maps({});
    }

    void saveChecksEveryKey() {
        QFETCH(SlotTexts, grid);
        QFETCH(QStringList, messages);
        QFETCH(Contents, after);
        ConversionTable table;
        CTableEditDlg dialog;
        Open(dialog, table);
        // Entries the grid does not show, which the save must drop.
        table.letters.SetAt(Sjis("イ"), "i");
        table.symbols.SetAt(Sjis("ヨ"), "~");
        for (const auto& [id, text] : grid) {
            dialog.Item<QLineEdit>(id)->setText(text);
        }
        MessageBoxRecorder boxes;
        Click(dialog, kSave);
        QCOMPARE(Shown(boxes, kQuestion), messages);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(ContentsOf(table), after);
        QCOMPARE(ContentsOf(FromFile()), after);
        // Three empty maps make the shortest file.
        QCOMPARE(QFileInfo(kTableFileName).size() == 36, after == Contents(3));
    }

    // Keys from the file reach the grid and go back byte for byte unless the
    // user changes them, even keys that are not valid code page 932.
    void keysLeftAloneKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<char>("map"); // L, D
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("typed"); // empty: left alone
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("a lone lead byte") << QByteArray("\x81") << 'L' << 1000 << "" << QByteArray("\x81");
        QTest::newRow("a lead byte with a bad trail byte")
            << QByteArray("\x81\x20") << 'D' << 1227 << "" << QByteArray("\x81\x20");
        QTest::newRow("a character code page 932 has twice")
            << QByteArray("\xEE\xEF") << 'L' << 1010 << "" << QByteArray("\xEE\xEF");
        QTest::newRow("a retyped slot takes the new text")
            << QByteArray("\x81") << 'L' << 1000 << "カ" << QByteArray(Sjis("カ").c_str());
    }

    void keysLeftAloneKeepTheirBytes() {
        QFETCH(QByteArray, key);
        QFETCH(char, map);
        QFETCH(int, slot);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        const std::string value = map == 'L' ? (slot == 1010 ? "k" : "a") : "1";
        ConversionTable file;
        (map == 'L' ? file.letters : file.digits).SetAt(key.toStdString(), value);
        file.letters.SetAt(Sjis("ン"), "n");
        std::ofstream(kTableFileName, std::ios::binary) << SerializeConversionTable(file);

        ConversionTable table = FromFile();
        CTableEditDlg dialog;
        Open(dialog, table);
        auto* edit = dialog.Item<QLineEdit>(slot);
        // A placeholder stands for what cannot be shown; the slot is not empty.
        QVERIFY(!edit->text().isEmpty());
        if (!typed.isEmpty()) {
            edit->setText(typed);
        }
        MessageBoxRecorder boxes;
        Click(dialog, kSave);
        QVERIFY(boxes.shown.empty());
        QVERIFY(!dialog.isVisible());

        ConversionTable expected;
        (map == 'L' ? expected.letters : expected.digits).SetAt(saved.toStdString(), value);
        expected.letters.SetAt(Sjis("ン"), "n");
        std::ifstream in(kTableFileName, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        QCOMPARE(QByteArray::fromStdString(bytes),
                 QByteArray::fromStdString(SerializeConversionTable(expected)));
    }

    // A save stopped at a message has changed the maps; leaving reloads them from
    // the file, or from the defaults when there is none or the user restores them.
    void leavingAfterAStoppedSave_data() {
        QTest::addColumn<bool>("fileBefore");
        QTest::addColumn<QString>("way");
        QTest::newRow("the cancel button") << true << "button";
        QTest::newRow("Escape") << true << "escape";
        QTest::newRow("the close box") << true << "close";
        QTest::newRow("restore defaults") << true << "restore";
        QTest::newRow("restore defaults without a file") << false << "restore";
    }

    void leavingAfterAStoppedSave() {
        QFETCH(bool, fileBefore);
        QFETCH(QString, way);
        if (fileBefore) {
            std::ofstream(kTableFileName, std::ios::binary) << SmallBytes();
        }
        const Contents before = ContentsOf(FromFile());
        ConversionTable table = Defaults();
        CTableEditDlg dialog;
        Open(dialog, table);
        dialog.Item<QLineEdit>(1001)->setText(QStringLiteral("アイウエ"));
        MessageBoxRecorder boxes;
        boxes.Answer(IDCANCEL);
        Click(dialog, kSave);
        QCOMPARE(Shown(boxes, kQuestion),
                 QStringList{"アイウエ は、３文字以上です。\r\nアイウ に切り詰めます。"});
        QVERIFY(dialog.isVisible());
        QCOMPARE(ContentsOf(FromFile()), before);
        QVERIFY(ContentsOf(table) != before);

        if (way == "button" || way == "restore") {
            Click(dialog, way == "button" ? kCancel : kRestore);
        } else if (way == "escape") {
            QTest::keyClick(dialog.GetDlgItem(1001), Qt::Key_Escape);
        } else {
            dialog.close();
        }
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), static_cast<int>(IDCANCEL));
        QCOMPARE(ContentsOf(table), way == "restore" ? ContentsOf(Defaults()) : before);
        QCOMPARE(QFile::exists(kTableFileName), fileBefore && way != "restore");
    }

    // The editor stays open so the user can remove the cause. A damaged file
    // leaves the maps empty, anything else leaves them as they were.
    void fileErrorsKeepTheEditorOpen_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        const QByteArray good = QByteArray::fromStdString(SmallBytes());
        QTest::newRow("save over a folder") << kSave << QByteArray("folder") << kSaveFailed + kIsFolder;
        QTest::newRow("save in a removed folder")
            << kSave << QByteArray("gone") << kSaveFailed + "Q8.xj またはそのフォルダーが見つかりません。";
        QTest::newRow("restore defaults over a folder") << kRestore << QByteArray("folder") << kIsFolder;
        QTest::newRow("file ends early")
            << kCancel << good.chopped(1) << QStringLiteral(" の末尾以降にｱｸｾｽしようとしました。");
        QTest::newRow("file of another class")
            << kCancel << QByteArray(good).replace("CMapStringToString", "CMapStringToStrinG")
            << QStringLiteral("変換表ファイルの形式が正しくありません（変換表ではないデータです）。");
    }

    void fileErrorsKeepTheEditorOpen() {
        QFETCH(int, button);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        if (file == "gone") {
            QVERIFY(QDir().rmdir(m_folder->path()));
        } else if (file == "folder") {
            QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
        } else {
            std::ofstream(kTableFileName, std::ios::binary) << file.toStdString();
        }
        ConversionTable table = Defaults();
        CTableEditDlg dialog;
        Open(dialog, table);
        MessageBoxRecorder boxes;
        Click(dialog, button);
        QCOMPARE(Shown(boxes, kStop), QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(ContentsOf(table), button == kCancel ? Contents(3) : ContentsOf(Defaults()));
        dialog.hide();
    }

    // A key the table file would cut short (a NUL came in with pasted text)
    // stops the save before anything is written.
    void saveRefusesAKeyTheFileWouldCut() {
        std::ofstream(kTableFileName, std::ios::binary) << SmallBytes();
        ConversionTable table;
        CTableEditDlg dialog;
        Open(dialog, table);
        dialog.Item<QLineEdit>(1000)->setText(QStringLiteral("ア") + QChar(0) + QStringLiteral("イ"));
        MessageBoxRecorder boxes;
        Click(dialog, kSave);
        QCOMPARE(Shown(boxes, kStop),
                 QStringList{"行 a のキーの 3 バイト目 \\x00 は変換表ファイルに保存できません"
                             "（キーがそこで切れてしまいます）。"});
        QVERIFY(dialog.isVisible());
        QFile file(kTableFileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), SmallBytes());
        dialog.hide();
    }

    // The key slots take romaji as the katakana field does, up to the save's
    // six bytes; leaving a slot commits its pending letters.
    void keySlotsAreFilledFromTheKeyboard_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("map"); // 0 letters, 1 digits, 2 symbols
        QTest::addColumn<QString>("output");
        QTest::newRow("row c slot 1 stops at six bytes") << 1001 << "kyatto"
                                                         << "キャッ" << 0 << "c";
        QTest::newRow("row n slot 6 held to six bytes too") << 1156 << "n'n'n'n'"
                                                            << "ンンン" << 0 << "n";
        QTest::newRow("pending letters full-width on leaving") << 1026 << "kak"
                                                               << "カｋ" << 0 << "a";
        QTest::newRow("digit row") << 1227 << "ichi"
                                   << "イチ" << 1 << "1";
    }
    void keySlotsAreFilledFromTheKeyboard() {
        QFETCH(int, id);
        QFETCH(QString, keys);
        QFETCH(QString, key);
        QFETCH(int, map);
        QFETCH(QString, output);
        ConversionTable table;
        CTableEditDlg dialog;
        Open(dialog, table);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* slot = dialog.Item<QLineEdit>(id);
        QVERIFY(!slot->toolTip().isEmpty());
        slot->setFocus();
        QTRY_VERIFY(slot->hasFocus());
        QTest::keyClicks(slot, keys);
        // A click on the button takes the focus, which commits what is pending.
        MessageBoxRecorder boxes;
        QTest::mouseClick(dialog.GetDlgItem(kSave), Qt::LeftButton);
        QCOMPARE(slot->text(), key);
        QVERIFY(boxes.shown.empty());
        QVERIFY(!dialog.isVisible());
        Contents expected(3);
        expected[map][key] = output;
        QCOMPARE(ContentsOf(table), expected);
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_previous;
};

QTEST_MAIN(CTableEditDlgTest)
#include "CTableEditDlgTest.moc"
