// The table editor: the grid filled from the maps, the checks and messages of
// the save, the ways out and what each leaves in the maps and the table file.
// Every test runs in its own empty current folder, where "Q8.xj" lives.
#include "tableedit/CTableEditDlg.h"

#include "platform/Cp932LineEdit.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/Sjis.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"
#include "tableedit/TableEditTemplate.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr std::string_view kRowCharacters = "abcdefghijklmnopqrstuvwxyz1234567890*+-!@#$^[]:.|~/";

struct Table {
    CMapStringToString letters, digits, symbols;

    CMapStringToString& Map(char group) { return group == 'L' ? letters : group == 'D' ? digits : symbols; }
};

using Entries = std::map<std::string, std::string>;

Entries EntriesOf(const CMapStringToString& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries.emplace(entry.key, entry.value);
    }
    return entries;
}

std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

// A table file holding only ア -> a, unlike the defaults.
std::string SmallTableBytes() {
    Table table;
    table.letters.SetAt(Sjis("ア"), "a");
    return SerializeConversionTable(table.letters, table.digits, table.symbols);
}

Table LoadFromFile() {
    Table table;
    LoadConversionTable(table.letters, table.digits, table.symbols);
    return table;
}

Table Defaults() {
    Table table;
    FillDefaultTable(table.letters, table.digits);
    return table;
}

QString TextOf(const CTableEditDlg& dialog, int id) {
    return dialog.Item<QLineEdit>(id)->text();
}

// Ids of every key slot of a row, from the left.
std::vector<int> RowIds(char row) {
    std::vector<int> ids;
    if (const auto l = tableedit::kLetterRows.find(row); l != std::string_view::npos) {
        const int slotCount = static_cast<int>(l) == tableedit::kRowN ? 6 : 5;
        for (int slot = 0; slot < slotCount; ++slot) {
            ids.push_back(tableedit::LetterSlotId(static_cast<int>(l), slot));
        }
    } else if (const auto d = tableedit::kDigitRows.find(row); d != std::string_view::npos) {
        for (int slot = 0; slot < 3; ++slot) {
            ids.push_back(tableedit::DigitSlotId(static_cast<int>(d), slot));
        }
    } else {
        const auto s = tableedit::kSymbolRows.find(row);
        for (int slot = 0; slot < 2; ++slot) {
            ids.push_back(tableedit::SymbolSlotId(static_cast<int>(s), slot));
        }
    }
    return ids;
}

std::vector<std::string> RowTexts(const CTableEditDlg& dialog, char row) {
    std::vector<std::string> texts;
    for (const int id : RowIds(row)) {
        if (const QString text = TextOf(dialog, id); !text.isEmpty()) {
            texts.push_back(FromQString(text).value());
        }
    }
    return texts;
}

int FilledSlots(const CTableEditDlg& dialog) {
    int filled = 0;
    for (const char row : kRowCharacters) {
        filled += static_cast<int>(RowTexts(dialog, row).size());
    }
    return filled;
}

void SetText(CTableEditDlg& dialog, int id, const QString& text) {
    dialog.Item<QLineEdit>(id)->setText(text);
}

void ClickButton(CTableEditDlg& dialog, int id) {
    dialog.Item<QPushButton>(id)->click();
}

// Lets writes past `bytes` fail with a full file, for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

struct SlotText {
    int id;
    QString text;
};
using SlotTexts = std::vector<SlotText>;

// One expected map entry: map 'L', 'D' or 'S', key, value ("" for absent).
struct Expect {
    char map;
    QString key;
    QString value;
};
using Expects = std::vector<Expect>;

const QString kStopped;

} // namespace

Q_DECLARE_METATYPE(SlotTexts)
Q_DECLARE_METATYPE(Expects)

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

    void templateHasTheGridAndTheMiddleColumn() {
        CTableEditDlg dialog;
        dialog.Create();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Q8xj 変換表"));
        QCOMPARE(dialog.size(), dialog.MapDialogRect(0, 0, 269, 352).size());
        QCOMPARE(dialog.findChildren<Cp932LineEdit*>().size(), 191);
        for (const auto* edit : dialog.findChildren<Cp932LineEdit*>()) {
            QCOMPARE(edit->LimitText(), 0);
        }
        QStringList labels;
        for (const auto* label : dialog.findChildren<QLabel*>()) {
            labels << label->text();
        }
        for (const char row : kRowCharacters) {
            QVERIFY2(labels.contains(QStringLiteral("→ ") + QChar(row)), &row);
        }
        QVERIFY(labels.contains(QStringLiteral("全角カタカナ３文字以内で入力してください。")));
        QCOMPARE(dialog.Item<QPushButton>(1104)->text(), QStringLiteral("保存する"));
        QCOMPARE(dialog.Item<QPushButton>(2)->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(dialog.Item<QPushButton>(1105)->text(), QStringLiteral("初期値に戻す"));
        for (const int id : {1104, 2, 1105}) {
            QVERIFY(!dialog.Item<QPushButton>(id)->isDefault());
        }
    }

    void controlRectangles_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QRect>("units");
        QTest::newRow("row a slot 1") << 1000 << QRect(8, 7, 22, 12);
        QTest::newRow("row b slot 1") << 1002 << QRect(8, 20, 22, 12);
        QTest::newRow("row c slot 1") << 1001 << QRect(8, 33, 22, 12);
        QTest::newRow("row a slot 5") << 1130 << QRect(100, 7, 22, 12);
        QTest::newRow("row n slot 5") << 1143 << QRect(100, 176, 22, 12);
        QTest::newRow("row n slot 6") << 1156 << QRect(123, 176, 22, 12);
        QTest::newRow("row y slot 2") << 1050 << QRect(31, 319, 22, 12);
        QTest::newRow("row 0 slot 1") << 1236 << QRect(174, 125, 22, 12);
        QTest::newRow("row 0 slot 3") << 1364 << QRect(220, 125, 22, 12);
        QTest::newRow("row * slot 1") << 1237 << QRect(197, 151, 22, 12);
        QTest::newRow("row / slot 2") << 1277 << QRect(220, 332, 22, 12);
        QTest::newRow("save") << 1104 << QRect(145, 299, 48, 14);
        QTest::newRow("cancel") << 2 << QRect(145, 315, 48, 14);
        QTest::newRow("restore") << 1105 << QRect(145, 331, 48, 14);
    }

    void controlRectangles() {
        QFETCH(int, id);
        QFETCH(QRect, units);
        CTableEditDlg dialog;
        dialog.Create();
        QVERIFY(dialog.GetDlgItem(id) != nullptr);
        QCOMPARE(dialog.GetDlgItem(id)->geometry(),
                 dialog.MapDialogRect(units.x(), units.y(), units.width(), units.height()));
    }

    void labelRectangles_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QRect>("units");
        QTest::newRow("a") << QStringLiteral("→ a") << QRect(124, 8, 15, 8);
        QTest::newRow("d level with its row") << QStringLiteral("→ d") << QRect(124, 46, 15, 8);
        QTest::newRow("m wide") << QStringLiteral("→ m") << QRect(124, 164, 17, 8);
        QTest::newRow("n after the sixth slot") << QStringLiteral("→ n") << QRect(147, 177, 15, 8);
        QTest::newRow("0") << QStringLiteral("→ 0") << QRect(245, 126, 15, 8);
        QTest::newRow("@") << QStringLiteral("→ @") << QRect(245, 204, 16, 8);
        QTest::newRow("hint") << QStringLiteral("全角カタカナ３文字以内で入力してください。")
                              << QRect(148, 258, 42, 33);
    }

    void labelRectangles() {
        QFETCH(QString, label);
        QFETCH(QRect, units);
        CTableEditDlg dialog;
        dialog.Create();
        const QLabel* found = nullptr;
        for (const auto* candidate : dialog.findChildren<QLabel*>()) {
            if (candidate->text() == label) {
                found = candidate;
            }
        }
        QVERIFY(found != nullptr);
        QCOMPARE(found->geometry(),
                 dialog.MapDialogRect(units.x(), units.y(), units.width(), units.height()));
    }

    void tabOrderFollowsTheRows_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<int>>("next");
        QTest::newRow("across row a") << 1000 << QList<int>{1026, 1052, 1078, 1130, 1002};
        QTest::newRow("row n into row o") << 1143 << QList<int>{1156, 1014};
        QTest::newRow("letters into digits") << 1155 << QList<int>{1227, 1253, 1355, 1228};
        QTest::newRow("digits into symbols") << 1364 << QList<int>{1237, 1263, 1238};
        QTest::newRow("symbols into the buttons") << 1277 << QList<int>{1104, 2, 1105};
    }

    void tabOrderFollowsTheRows() {
        QFETCH(int, from);
        QFETCH(QList<int>, next);
        CTableEditDlg dialog;
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.GetDlgItem(from)->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), dialog.GetDlgItem(from));
        for (const int id : next) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(id));
        }
        dialog.hide();
    }

    void defaultsAreShownWhole() {
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        QCOMPARE(FilledSlots(dialog), static_cast<int>(table.letters.GetCount() + table.digits.GetCount()));
        for (const auto* map : {&table.letters, &table.digits}) {
            for (const auto& entry : *map) {
                const auto texts = RowTexts(dialog, entry.value[0]);
                QVERIFY2(std::find(texts.begin(), texts.end(), entry.key) != texts.end(),
                         entry.value.c_str());
            }
        }
        // Row n takes its keys in the map's order, the sixth in the extra slot.
        std::vector<std::string> keysForN;
        for (const auto& entry : table.letters) {
            if (entry.value == "n") {
                keysForN.push_back(entry.key);
            }
        }
        QCOMPARE(keysForN.size(), std::size_t{6});
        QCOMPARE(RowTexts(dialog, 'n'), keysForN);
        QCOMPARE(FromQString(TextOf(dialog, 1156)).value(), keysForN.back());
    }

    void rowsTakeTheFirstKeysTheMapYields_data() {
        QTest::addColumn<char>("group");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QList<int>>("shownIn");
        QTest::newRow("six keys for n") << 'L' << "n" << 6 << QList<int>{1013, 1039, 1065, 1091, 1143, 1156};
        QTest::newRow("six keys for k") << 'L' << "k" << 6 << QList<int>{1010, 1036, 1062, 1088, 1140};
        QTest::newRow("first slot of row b") << 'L' << "b" << 1 << QList<int>{1002};
        QTest::newRow("first slot of row c") << 'L' << "c" << 1 << QList<int>{1001};
        QTest::newRow("capital A in row a") << 'L' << "A" << 2 << QList<int>{1000, 1026};
        QTest::newRow("four keys for a digit") << 'D' << "7" << 4 << QList<int>{1233, 1259, 1361};
        QTest::newRow("three keys for a symbol") << 'S' << "@" << 3 << QList<int>{1241, 1267};
        QTest::newRow("digit in the letters map") << 'L' << "5" << 1 << QList<int>{};
        QTest::newRow("letter in the digits map") << 'D' << "a" << 1 << QList<int>{};
        QTest::newRow("two characters") << 'L' << "ab" << 1 << QList<int>{};
    }

    void rowsTakeTheFirstKeysTheMapYields() {
        QFETCH(char, group);
        QFETCH(QString, value);
        QFETCH(int, keys);
        QFETCH(QList<int>, shownIn);
        const std::vector<std::string> candidates{Sjis("カ"), Sjis("キ"), Sjis("ク"),
                                                  Sjis("ケ"), Sjis("コ"), Sjis("サ")};
        Table table;
        for (int i = 0; i < keys; ++i) {
            table.Map(group).SetAt(candidates[static_cast<std::size_t>(i)], value.toStdString());
        }
        std::vector<std::string> inMapOrder;
        for (const auto& entry : table.Map(group)) {
            inMapOrder.push_back(entry.key);
        }
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        QCOMPARE(FilledSlots(dialog), static_cast<int>(shownIn.size()));
        for (int slot = 0; slot < shownIn.size(); ++slot) {
            QCOMPARE(FromQString(TextOf(dialog, shownIn[slot])).value(),
                     inMapOrder[static_cast<std::size_t>(slot)]);
        }
    }

    void saveChecksEveryKey_data() {
        QTest::addColumn<SlotTexts>("grid");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<Expects>("expects");
        QTest::addColumn<bool>("saved");
        const auto s = [](const char* utf8) {
            return QString::fromUtf8(utf8);
        };

        QTest::newRow("three full-width katakana pass")
            << SlotTexts{{1010, s("カキク")}} << QList<int>{} << QStringList{}
            << Expects{{'L', s("カキク"), "k"}} << true;
        QTest::newRow("four full-width are cut to three")
            << SlotTexts{{1000, s("アイウエ")}} << QList<int>{IDOK}
            << QStringList{s("アイウエ は、３文字以上です。\r\nアイウ に切り詰めます。")}
            << Expects{{'L', s("アイウ"), "a"}, {'L', s("アイウエ"), ""}} << true;
        QTest::newRow("seven half-width are cut to six")
            << SlotTexts{{1000, s("ｱｲｳｴｵｶｷ")}} << QList<int>{IDOK}
            << QStringList{s("ｱｲｳｴｵｶｷ は、３文字以上です。\r\nｱｲｳｴｵｶ に切り詰めます。")}
            << Expects{{'L', s("ｱｲｳｴｵｶ"), "a"}} << true;
        QTest::newRow("two full-width and three half-width are seven bytes")
            << SlotTexts{{1000, s("アイｳｴｵ")}} << QList<int>{IDOK}
            << QStringList{s("アイｳｴｵ は、３文字以上です。\r\nアイｳｴ に切り詰めます。")}
            << Expects{{'L', s("アイｳｴ"), "a"}} << true;
        QTest::newRow("the cut keeps whole characters")
            << SlotTexts{{1000, s("ｱアイウ")}} << QList<int>{IDOK}
            << QStringList{s("ｱアイウ は、３文字以上です。\r\nｱアイ に切り詰めます。")}
            << Expects{{'L', s("ｱアイ"), "a"}} << true;
        QTest::newRow("half-width text is taken untrimmed")
            << SlotTexts{{1000, s(" a b ")}} << QList<int>{} << QStringList{}
            << Expects{{'L', s(" a b "), "a"}} << true;
        QTest::newRow("same key in rows k and q")
            << SlotTexts{{1010, s("カ")}, {1016, s("カ")}} << QList<int>{IDOK}
            << QStringList{s("カ が k と q で指定されています。\r\nカ → k は無効になります。")}
            << Expects{{'L', s("カ"), "q"}} << true;
        QTest::newRow("same key twice in one row")
            << SlotTexts{{1010, s("カ")}, {1036, s("カ")}} << QList<int>{IDOK}
            << QStringList{s("カ が k と k で指定されています。\r\nカ → k は無効になります。")}
            << Expects{{'L', s("カ"), "k"}} << true;
        QTest::newRow("a cut key meets an earlier one")
            << SlotTexts{{1000, s("アイウ")}, {1026, s("アイウエ")}} << QList<int>{IDOK, IDOK}
            << QStringList{s("アイウエ は、３文字以上です。\r\nアイウ に切り詰めます。"),
                           s("アイウ が a と a で指定されています。\r\nアイウ → a は無効になります。")}
            << Expects{{'L', s("アイウ"), "a"}} << true;
        QTest::newRow("same key in a letter row and a digit row")
            << SlotTexts{{1010, s("カ")}, {1227, s("カ")}} << QList<int>{} << QStringList{}
            << Expects{{'L', s("カ"), "k"}, {'D', s("カ"), "1"}} << true;
        QTest::newRow("row n slot 6 repeats a key of row a")
            << SlotTexts{{1000, s("ア")}, {1156, s("ア")}} << QList<int>{} << QStringList{}
            << Expects{{'L', s("ア"), "n"}} << true;
        QTest::newRow("row n slot 6 is saved whole")
            << SlotTexts{{1156, s("アイウエ")}} << QList<int>{} << QStringList{}
            << Expects{{'L', s("アイウエ"), "n"}} << true;
        QTest::newRow("same key in rows 1 and 2")
            << SlotTexts{{1227, s("サ")}, {1228, s("サ")}} << QList<int>{IDOK}
            << QStringList{s("サ が 1 と 2 で指定されています。\r\nサ → 1 は無効になります。")}
            << Expects{{'D', s("サ"), "2"}} << true;
        QTest::newRow("same key in rows * and +")
            << SlotTexts{{1237, s("ホ")}, {1238, s("ホ")}} << QList<int>{IDOK}
            << QStringList{s("ホ が * と + で指定されています。\r\nホ → * は無効になります。")}
            << Expects{{'S', s("ホ"), "+"}} << true;
        QTest::newRow("long key in row /")
            << SlotTexts{{1277, s("アイウエ")}} << QList<int>{IDOK}
            << QStringList{s("アイウエ は、３文字以上です。\r\nアイウ に切り詰めます。")}
            << Expects{{'S', s("アイウ"), "/"}} << true;
        QTest::newRow("cancel at the length message")
            << SlotTexts{{1000, s("ア")}, {1010, s("アイウエ")}, {1227, s("サ")}} << QList<int>{IDCANCEL}
            << QStringList{s("アイウエ は、３文字以上です。\r\nアイウ に切り詰めます。")}
            << Expects{{'L', s("ア"), "a"}, {'L', s("アイウ"), ""}, {'D', s("サ"), ""}, {'S', s("ヨ"), "~"}}
            << false;
        QTest::newRow("cancel at a duplicate keeps the earlier slots")
            << SlotTexts{{1000, s("ア")}, {1010, s("カ")}, {1016, s("カ")}, {1017, s("ラ")}}
            << QList<int>{IDCANCEL}
            << QStringList{s("カ が k と q で指定されています。\r\nカ → k は無効になります。")}
            << Expects{{'L', s("ア"), "a"}, {'L', s("カ"), "k"}, {'L', s("ラ"), ""}, {'S', s("ヨ"), "~"}}
            << false;
        QTest::newRow("cancel in the digits keeps the letters rebuilt")
            << SlotTexts{{1000, s("ア")}, {1227, s("サ")}, {1228, s("サ")}} << QList<int>{IDCANCEL}
            << QStringList{s("サ が 1 と 2 で指定されています。\r\nサ → 1 は無効になります。")}
            << Expects{{'L', s("ア"), "a"}, {'L', s("イ"), ""}, {'D', s("サ"), "1"}, {'S', s("ヨ"), "~"}}
            << false;
    }

    void saveChecksEveryKey() {
        QFETCH(SlotTexts, grid);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, messages);
        QFETCH(Expects, expects);
        QFETCH(bool, saved);
        // The maps start with entries the grid does not show, so a map the save
        // never reached still holds them.
        Table table;
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        table.letters.SetAt(Sjis("イ"), "i");
        table.symbols.SetAt(Sjis("ヨ"), "~");
        for (const auto& slot : grid) {
            SetText(dialog, slot.id, slot.text);
        }
        MessageBoxRecorder boxes;
        for (const int answer : answers) {
            boxes.Answer(answer);
        }

        ClickButton(dialog, 1104);

        QCOMPARE(static_cast<int>(boxes.shown.size()), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            const auto& box = boxes.shown[static_cast<std::size_t>(i)];
            QCOMPARE(box.text, messages[i]);
            QCOMPARE(box.type, static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
            QCOMPARE(box.caption, ApplicationName());
        }
        for (const auto& expect : expects) {
            const std::string* value = table.Map(expect.map).Lookup(FromQString(expect.key).value());
            QCOMPARE(value != nullptr ? QString::fromStdString(*value) : QString(), expect.value);
        }
        QCOMPARE(dialog.isVisible(), !saved);
        QCOMPARE(QFile::exists(kTableFileName), saved);
        if (saved) {
            QCOMPARE(dialog.result(), static_cast<int>(IDOK));
            const Table onDisk = LoadFromFile();
            QCOMPARE(EntriesOf(onDisk.letters), EntriesOf(table.letters));
            QCOMPARE(EntriesOf(onDisk.digits), EntriesOf(table.digits));
            QCOMPARE(EntriesOf(onDisk.symbols), EntriesOf(table.symbols));
        } else {
            for (const auto& slot : grid) {
                QCOMPARE(TextOf(dialog, slot.id), slot.text);
            }
            dialog.hide();
        }
    }

    void sixthKeyOfALetterIsLostBySaving() {
        Table table;
        for (const char* key : {"カ", "キ", "ク", "ケ", "コ", "サ"}) {
            table.letters.SetAt(Sjis(key), "k");
        }
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1104);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(table.letters.GetCount(), std::size_t{5});
        QCOMPARE(LoadFromFile().letters.GetCount(), std::size_t{5});
    }

    void savingTheUnchangedDefaultsAsksNothing() {
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1104);
        QVERIFY(boxes.shown.empty());
        QVERIFY(!dialog.isVisible());
        const Table defaults = Defaults();
        const Table onDisk = LoadFromFile();
        QCOMPARE(EntriesOf(onDisk.letters), EntriesOf(defaults.letters));
        QCOMPARE(EntriesOf(onDisk.digits), EntriesOf(defaults.digits));
        QCOMPARE(onDisk.symbols.GetCount(), std::size_t{0});
    }

    void allSlotsEmptySaveThreeEmptyMaps() {
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        for (auto* edit : dialog.findChildren<Cp932LineEdit*>()) {
            edit->clear();
        }
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1104);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(dialog.result(), static_cast<int>(IDOK));
        QCOMPARE(ReadFile(kTableFileName).size(), std::size_t{36});
        QVERIFY(table.letters.IsEmpty() && table.digits.IsEmpty() && table.symbols.IsEmpty());
        const Table onDisk = LoadFromFile();
        QVERIFY(onDisk.letters.IsEmpty() && onDisk.digits.IsEmpty() && onDisk.symbols.IsEmpty());
    }

    void cancelAtAMessageLeavesTheFileAlone() {
        WriteFile(kTableFileName, SmallTableBytes());
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        SetText(dialog, 1000, QStringLiteral("アイウエオ"));
        MessageBoxRecorder boxes;
        boxes.Answer(IDCANCEL);
        ClickButton(dialog, 1104);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY(dialog.isVisible());
        QCOMPARE(ReadFile(kTableFileName), SmallTableBytes());

        ClickButton(dialog, 2);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), static_cast<int>(IDCANCEL));
        QCOMPARE(EntriesOf(table.letters), (Entries{{Sjis("ア"), "a"}}));
        QVERIFY(table.digits.IsEmpty());
    }

    void leavingAfterAFailedSaveReloadsTheFile_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("cancel button") << "button";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
    }

    void leavingAfterAFailedSaveReloadsTheFile() {
        QFETCH(QString, way);
        WriteFile(kTableFileName, SmallTableBytes());
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SetText(dialog, 1001, QStringLiteral("ヰ"));
        MessageBoxRecorder boxes;
        {
            const FileSizeLimit full(16);
            ClickButton(dialog, 1104);
        }
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown[0].text,
                 QStringLiteral(
                     "変換表を保存できませんでした。\r\nQ8.xj を書き込めません。ファイルが大きすぎます。"));
        QCOMPARE(boxes.shown[0].type, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
        QVERIFY(dialog.isVisible());
        QCOMPARE(ReadFile(kTableFileName), SmallTableBytes());
        QCOMPARE(*table.letters.Lookup(Sjis("ヰ")), std::string("c"));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{kTableFileName});

        if (way == "button") {
            ClickButton(dialog, 2);
        } else if (way == "escape") {
            QTest::keyClick(dialog.GetDlgItem(1001), Qt::Key_Escape);
        } else {
            dialog.close();
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), static_cast<int>(IDCANCEL));
        QCOMPARE(EntriesOf(table.letters), (Entries{{Sjis("ア"), "a"}}));
        QVERIFY(table.digits.IsEmpty() && table.symbols.IsEmpty());
    }

    void saveThatCannotWriteKeepsTheEditorOpen_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder in place of the file")
            << "folder" << QStringLiteral("Q8.xj はフォルダーなので、ファイルとして使えません。");
        QTest::newRow("the current folder removed")
            << "removed" << QStringLiteral("Q8.xj またはそのフォルダーが見つかりません。");
    }

    void saveThatCannotWriteKeepsTheEditorOpen() {
        QFETCH(QString, obstacle);
        QFETCH(QString, reason);
        if (obstacle == "folder") {
            QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
        } else {
            QVERIFY(QDir().rmdir(m_folder->path()));
        }
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1104);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown[0].text, QStringLiteral("変換表を保存できませんでした。\r\n") + reason);
        QCOMPARE(boxes.shown[0].type, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
        QVERIFY(dialog.isVisible());
        if (obstacle == "folder") {
            QVERIFY(QFileInfo(QStringLiteral("Q8.xj")).isDir());
            QCOMPARE(QDir().entryList(QDir::Files), QStringList{});
        }
        ClickButton(dialog, 2);
        QVERIFY(!dialog.isVisible());
    }

    void damagedFileWhenLeaving_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray good = QByteArray::fromStdString(SmallTableBytes());
        QByteArray otherClass = good;
        otherClass.replace("CMapStringToString", "CMapStringToStrinG");
        QTest::newRow("ends early") << good.left(good.size() - 1)
                                    << QStringLiteral(" の末尾以降にｱｸｾｽしようとしました。");
        QTest::newRow("empty") << QByteArray() << QStringLiteral(" の末尾以降にｱｸｾｽしようとしました。");
        QTest::newRow("other class")
            << otherClass
            << QStringLiteral("変換表ファイルの形式が正しくありません（変換表ではないデータです）。");
        QTest::newRow("bytes after the table")
            << good + "x" << QStringLiteral("変換表ファイルの末尾に余分なデータがあります。");
    }

    void damagedFileWhenLeaving() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        WriteFile(kTableFileName, bytes.toStdString());
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        MessageBoxRecorder boxes;
        ClickButton(dialog, 2);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown[0].text, message);
        QCOMPARE(boxes.shown[0].type, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
        QVERIFY(dialog.isVisible());
        QVERIFY(table.letters.IsEmpty() && table.digits.IsEmpty() && table.symbols.IsEmpty());

        // Saving the grid over the damaged file mends it.
        ClickButton(dialog, 1104);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(EntriesOf(LoadFromFile().letters), EntriesOf(Defaults().letters));
    }

    void restoreDefaults_data() {
        QTest::addColumn<bool>("fileBefore");
        QTest::newRow("with a table file") << true;
        QTest::newRow("without a table file") << false;
    }

    void restoreDefaults() {
        QFETCH(bool, fileBefore);
        if (fileBefore) {
            WriteFile(kTableFileName, SmallTableBytes());
        }
        Table table = LoadFromFile();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        SetText(dialog, 1000, QStringLiteral("ヌ"));
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1105);
        QVERIFY(boxes.shown.empty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), static_cast<int>(IDCANCEL));
        QVERIFY(!QFile::exists(kTableFileName));
        const Table defaults = Defaults();
        QCOMPARE(EntriesOf(table.letters), EntriesOf(defaults.letters));
        QCOMPARE(EntriesOf(table.digits), EntriesOf(defaults.digits));
        QVERIFY(table.symbols.IsEmpty());
    }

    void restoreDefaultsWhenTheFileCannotBeDeleted() {
        QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
        Table table;
        table.letters.SetAt(Sjis("ア"), "a");
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        MessageBoxRecorder boxes;
        ClickButton(dialog, 1105);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Q8.xj はフォルダーなので、ファイルとして使えません。"));
        QCOMPARE(boxes.shown[0].type, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
        QVERIFY(dialog.isVisible());
        QVERIFY(QFileInfo(QStringLiteral("Q8.xj/inside")).isDir());
        QCOMPARE(EntriesOf(table.letters), (Entries{{Sjis("ア"), "a"}}));
        dialog.hide();
    }

    void enterInAKeySlotChangesNothing() {
        Table table = Defaults();
        CTableEditDlg dialog;
        dialog.SetTable(table.letters, table.digits, table.symbols);
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWidget* slot = dialog.GetDlgItem(1010);
        slot->setFocus();
        TypeText(slot, QStringLiteral("ヌ"));
        MessageBoxRecorder boxes;
        QTest::keyClick(slot, Qt::Key_Return);
        QTest::keyClick(slot, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(dialog.isVisible());
        QVERIFY(boxes.shown.empty());
        QVERIFY(!QFile::exists(kTableFileName));
        QCOMPARE(EntriesOf(table.letters), EntriesOf(Defaults().letters));
        QVERIFY(TextOf(dialog, 1010).endsWith(QStringLiteral("ヌ")));
        dialog.hide();
    }

    void editTableRunsModally_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("save") << 1104 << static_cast<int>(IDOK);
        QTest::newRow("cancel") << 2 << static_cast<int>(IDCANCEL);
        QTest::newRow("restore defaults") << 1105 << static_cast<int>(IDCANCEL);
    }

    void editTableRunsModally() {
        QFETCH(int, button);
        QFETCH(int, result);
        Table table = Defaults();
        CTableEditDlg dialog;
        QWidget* focused = nullptr;
        QWidget* modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            focused = dialog.focusWidget();
            ClickButton(dialog, button);
        });
        MessageBoxRecorder boxes;
        QCOMPARE(dialog.EditTable(table.letters, table.digits, table.symbols), result);
        QCOMPARE(modal, &dialog);
        QCOMPARE(focused, dialog.GetDlgItem(1000));
        QCOMPARE(TextOf(dialog, 1013), ToQString(Sjis("ン")));
        QVERIFY(boxes.shown.empty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_previous;
};

QTEST_MAIN(CTableEditDlgTest)
#include "CTableEditDlgTest.moc"
