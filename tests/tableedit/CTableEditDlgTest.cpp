// The table editor: the grid filled from the maps, the checks and messages of
// the save, and what each way out leaves in the maps and the table file.
// Every test runs in its own empty current folder, where "Q8.xj" lives.
#include "tableedit/CTableEditDlg.h"

#include "platform/Cp932LineEdit.h"
#include "platform/FileErrorText.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/Sjis.h"
#include "support/TableHelpers.h"
#include "support/TempFolder.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cctype>
#include <memory>

namespace {

using namespace tableedit;

// The control id of a slot of the row that gives `output`.
int Slot(char output, int slot = 0) {
    if (const auto row = kLetterRows.find(output); row != std::string_view::npos) {
        return LetterSlotId(static_cast<int>(row), slot);
    }
    if (const auto row = kDigitRows.find(output); row != std::string_view::npos) {
        return DigitSlotId(static_cast<int>(row), slot);
    }
    return SymbolSlotId(static_cast<int>(kSymbolRows.find(output)), slot);
}

ConversionTable FromFile() {
    ConversionTable table;
    LoadConversionTable(table);
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

void Type(CTableEditDlg& dialog, int id, const char* utf8) {
    dialog.Item<QLineEdit>(id)->setText(QString::fromUtf8(utf8));
}

// The texts of the boxes shown: questions (OK, Cancel, exclamation mark) or
// stops (OK, stop sign); a box of another kind or caption is marked.
QStringList Shown(const MessageBoxRecorder& boxes, platform::Icon icon) {
    const auto buttons = icon == platform::Icon::Stop ? platform::Buttons::Ok : platform::Buttons::OkCancel;
    QStringList texts;
    for (const auto& box : boxes.shown) {
        const bool same =
            box.buttons == buttons && box.icon == icon && box.caption == platform::ApplicationName();
        texts << (same ? "" : "(other box) ") + box.text;
    }
    return texts;
}

QString LongKeyMessage(const char* utf8) {
    return ToQString(CheckKeyLength(Sjis(utf8))->message);
}

} // namespace

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

    // A row shows the first keys its map yields for its character, lowest slot
    // first; what has no row is not shown. Slots take any length of key.
    void rowsTakeTheFirstKeysTheMapYields() {
        const struct {
            TableMap map;
            const char* value;
            int keys;
            int shown;
        } rows[] = {
            {TableMap::Letters, "n", 6, 6},
            {TableMap::Letters, "K", 6, 5},
            {TableMap::Symbols, "@", 3, 2},
            {TableMap::Letters, "ab", 1, 0},
        };
        for (const auto& row : rows) {
            ConversionTable table;
            for (const QChar key : QStringLiteral("カキクケコサ").left(row.keys)) {
                table.Map(row.map).SetAt(FromQString(key).value(), row.value);
            }
            QStringList inMapOrder;
            for (const auto& entry : table.Map(row.map)) {
                inMapOrder << ToQString(entry.key);
            }
            CTableEditDlg dialog;
            dialog.SetTable(table);
            dialog.Create();
            QStringList shown;
            for (const auto* edit : dialog.findChildren<Cp932LineEdit*>()) {
                QCOMPARE(edit->LimitText(), 0);
                shown << edit->text();
            }
            shown.removeAll(QString());
            QCOMPARE(shown.size(), row.shown);
            for (int slot = 0; slot < row.shown; ++slot) {
                const char output = static_cast<char>(std::tolower(row.value[0]));
                QCOMPARE(dialog.Item<QLineEdit>(Slot(output, slot))->text(), inMapOrder[slot]);
            }
        }
    }

    // The built-in table fits the grid whole, so saving it unchanged writes it back.
    // No button is a default one, so Enter in a key slot does nothing.
    void editTableShowsTheDefaultsWholeAndEnterChangesNothing() {
        ConversionTable table = Defaults();
        CTableEditDlg dialog;
        bool asExpected = false;
        MessageBoxRecorder boxes;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(dialog.GetDlgItem(Slot('k')), Qt::Key_Return);
            QTest::keyClick(dialog.GetDlgItem(Slot('k')), Qt::Key_Enter, Qt::KeypadModifier);
            asExpected = QApplication::activeModalWidget() == &dialog && dialog.isVisible() &&
                         dialog.focusWidget() == dialog.GetDlgItem(Slot('a')) &&
                         !QFile::exists(kTableFileName);
            Click(dialog, kSaveId);
        });
        QCOMPARE(dialog.EditTable(table), static_cast<int>(IDOK));
        QVERIFY(asExpected);
        QVERIFY(boxes.shown.empty());
        QVERIFY(SameEntries(FromFile(), Defaults()));
    }

    // The save asks the key checks' questions; on OK the long key is cut and the
    // later of two same keys wins.
    void saveKeepsWhatTheQuestionsAllow() {
        ConversionTable table;
        CTableEditDlg dialog;
        Open(dialog, table);
        Type(dialog, Slot('c'), "アイウエ");
        Type(dialog, Slot('k'), "カ");
        Type(dialog, Slot('q'), "カ");
        MessageBoxRecorder boxes;
        Click(dialog, kSaveId);
        QCOMPARE(Shown(boxes, platform::Icon::Exclamation).size(), 2);
        ConversionTable expected;
        expected.letters.SetAt(Sjis("アイウ"), "c");
        expected.letters.SetAt(Sjis("カ"), "q");
        QVERIFY(SameEntries(FromFile(), expected));
    }

    // Keys from the file reach the grid and go back byte for byte, even keys
    // that are not valid code page 932.
    void keysLeftAloneKeepTheirBytes() {
        ConversionTable file;
        file.letters.SetAt("\x81", "a");
        file.digits.SetAt("\x81\x20", "1");
        WriteWhole(kTableFileName, SerializeConversionTable(file));
        ConversionTable table = FromFile();
        CTableEditDlg dialog;
        Open(dialog, table);
        QVERIFY(!dialog.Item<QLineEdit>(Slot('a'))->text().isEmpty()); // a placeholder
        MessageBoxRecorder boxes;
        Click(dialog, kSaveId);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(ReadWhole(kTableFileName), SerializeConversionTable(file));
    }

    // A save stopped at a message has changed the maps; every way out reloads
    // them from the file, or from the defaults when the user restores them.
    void leavingAfterAStoppedSave() {
        // Escape and the close box reach the same cancel as the button.
        for (const QString way : {"button", "restore", "restore without a file"}) {
            QFile::remove(kTableFileName);
            if (way != "restore without a file") {
                WriteWhole(kTableFileName, SmallBytes());
            }
            const ConversionTable before = FromFile();
            ConversionTable table = Defaults();
            CTableEditDlg dialog;
            Open(dialog, table);
            Type(dialog, Slot('c'), "アイウエ");
            MessageBoxRecorder boxes;
            boxes.Answer(IDCANCEL);
            Click(dialog, kSaveId);
            QCOMPARE(Shown(boxes, platform::Icon::Exclamation), QStringList{LongKeyMessage("アイウエ")});
            QVERIFY(dialog.isVisible());
            QVERIFY(SameEntries(FromFile(), before));
            if (way == "button") {
                Click(dialog, kCancelId);
            } else {
                Click(dialog, kRestoreId);
            }
            QCOMPARE(boxes.shown.size(), std::size_t{1});
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), static_cast<int>(IDCANCEL));
            QVERIFY(SameEntries(table, way.startsWith("restore") ? Defaults() : before));
            QCOMPARE(QFile::exists(kTableFileName), !way.startsWith("restore"));
        }
    }

    // The editor stays open so the user can remove the cause. A damaged file
    // leaves the maps empty, anything else leaves them as they were.
    void fileErrorsKeepTheEditorOpen() {
        const std::string isFolder =
            FileErrorText(std::make_error_code(std::errc::is_a_directory), kTableFileName);
        const struct {
            int button;
            std::string file; // "folder": a folder stands there
            std::string message;
        } rows[] = {
            {kSaveId, "folder", cp932::Text("変換表を保存できませんでした。\r\n") + isFolder},
            {kRestoreId, "folder", isFolder},
            {kCancelId, SmallBytes().substr(0, 30), DescribeTableReadError(TableReadError::EndOfFile)},
        };
        for (const auto& row : rows) {
            QDir(kTableFileName).removeRecursively();
            if (row.file == "folder") {
                QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
            } else {
                WriteWhole(kTableFileName, row.file);
            }
            ConversionTable table = Defaults();
            CTableEditDlg dialog;
            Open(dialog, table);
            MessageBoxRecorder boxes;
            Click(dialog, row.button);
            QCOMPARE(Shown(boxes, platform::Icon::Stop), QStringList{ToQString(row.message)});
            QVERIFY(dialog.isVisible());
            QVERIFY(SameEntries(table, row.button == kCancelId ? ConversionTable() : Defaults()));
            dialog.hide();
        }
    }

    // A key the table file would cut short (a NUL came in with pasted text)
    // stops the save before anything is written.
    void saveRefusesAKeyTheFileWouldCut() {
        WriteWhole(kTableFileName, SmallBytes());
        ConversionTable table;
        CTableEditDlg dialog;
        Open(dialog, table);
        dialog.Item<QLineEdit>(Slot('a'))->setText(QStringLiteral("ア") + QChar(0) + QStringLiteral("イ"));
        MessageBoxRecorder boxes;
        Click(dialog, kSaveId);
        QCOMPARE(Shown(boxes, platform::Icon::Stop),
                 QStringList{"行 a の" + ToQString(*CheckStorableKey(Sjis("ア") + '\0'))});
        QVERIFY(dialog.isVisible());
        QCOMPARE(ReadWhole(kTableFileName), SmallBytes());
        dialog.hide();
    }

    // The key slots take romaji as the katakana field does, up to the save's
    // six bytes; leaving a slot commits its pending letters.
    void keySlotsAreFilledFromTheKeyboard() {
        const struct {
            char output;
            int slot;
            QString keys;
            const char* key;
        } rows[] = {{'n', kLetterSlots, "n'n'n'n'", "ンンン"}, {'a', 1, "kak", "カｋ"}};
        for (const auto& row : rows) {
            ConversionTable table;
            CTableEditDlg dialog;
            Open(dialog, table);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            auto* slot = dialog.Item<QLineEdit>(Slot(row.output, row.slot));
            QVERIFY(!slot->toolTip().isEmpty());
            slot->setFocus();
            QTRY_VERIFY(slot->hasFocus());
            QTest::keyClicks(slot, row.keys);
            // A click on the button takes the focus, which commits what is pending.
            MessageBoxRecorder boxes;
            QTest::mouseClick(dialog.GetDlgItem(kSaveId), Qt::LeftButton);
            QCOMPARE(slot->text(), QString::fromUtf8(row.key));
            QVERIFY(boxes.shown.empty());
            ConversionTable expected;
            expected.letters.SetAt(Sjis(row.key), std::string(1, row.output));
            QVERIFY(SameEntries(table, expected));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_previous;
};

QTEST_MAIN(CTableEditDlgTest)
#include "CTableEditDlgTest.moc"
