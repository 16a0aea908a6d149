// The table editor: the grid filled from the maps, the checks of the save,
// and what each way out leaves in the maps and the table file. Every test
// runs in its own empty current folder, where "Q8.xj" lives.
#include "tableedit/CTableEditDlg.h"

#include "platform/FileErrorText.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "platform/Cp932Codec.h"
#include "support/Sjis.h"
#include "support/TableHelpers.h"
#include "support/TempFolder.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

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
    table.letters.SetAt(std::string("ア"), "a");
    return SerializeConversionTable(table);
}

void Click(CTableEditDlg& dialog, int id) {
    dialog.Control<QPushButton>(id)->click();
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

    // A row shows the first keys its map yields for its character (a letter's
    // in either case), lowest slot first; a full row leaves the rest out, and
    // what has no row is not shown. Slots take any length of key.
    void rowsTakeTheFirstKeysTheMapYields() {
        for (const auto& [map, value, output, count] : {std::tuple{TableMap::Letters, "n", 'n', 6},
                                                        {TableMap::Letters, "K", 'k', 5},
                                                        {TableMap::Symbols, "@", '@', 2}}) {
            PasswordModel model;
            ConversionTable& table = model.Table();
            for (const QChar key : QStringLiteral("カキクケコサ")) {
                table.Map(map).SetAt(FromQString(key).value(), value);
                table.letters.SetAt(FromQString(key).value() + "x", "ab");
            }
            CTableEditDlg dialog(model);
            dialog.show();
            const auto edits = dialog.findChildren<QLineEdit*>();
            QCOMPARE(
                std::count_if(edits.begin(), edits.end(), [](auto* edit) { return !edit->text().isEmpty(); }),
                count);
            int slot = 0;
            for (const auto& entry : table.Map(map)) {
                if (entry.value == value && slot < count) {
                    QCOMPARE(dialog.Control<QLineEdit>(Slot(output, slot++))->text(), ToQString(entry.key));
                }
            }
        }
    }

    // The built-in table fits the grid whole, so saving it unchanged writes it
    // back. The first slot has the focus; no button is a default one, so Enter
    // in a key slot does nothing, and on a button presses it.
    void editTableShowsTheDefaultsWholeAndEnterChangesNothing() {
        PasswordModel model;
        ConversionTable& table = model.Table();
        table = Defaults();
        CTableEditDlg dialog(model);
        MessageBoxRecorder boxes;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(dialog.Control<QWidget>(Slot('k')), Qt::Key_Return);
            if (dialog.isVisible() && dialog.focusWidget() == dialog.Control<QWidget>(Slot('a'))) {
                dialog.Control<QWidget>(kSaveId)->setFocus(); // a focused button takes Enter
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
            }
            if (dialog.isVisible()) {
                dialog.reject(); // not saved: the comparison below fails
            }
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(boxes.shown.empty() && QFile::exists(kTableFileName));
        QVERIFY(SameEntries(FromFile(), Defaults()));
    }

    // The save asks the key checks' questions; on OK the long key is cut and the
    // later of two same keys wins. Keys from the file left alone go back byte
    // for byte, even keys that are not valid code page 932.
    void saveKeepsWhatTheQuestionsAllowAndTheBytesLeftAlone() {
        ConversionTable file;
        file.digits.SetAt(cp932::Decode("\x81\x20"), "1");
        WriteWhole(kTableFileName, SerializeConversionTable(file));
        PasswordModel model;
        ConversionTable& table = model.Table();
        table = FromFile();
        CTableEditDlg dialog(model);
        dialog.show();
        QVERIFY(!dialog.Control<QLineEdit>(Slot('1'))->text().isEmpty()); // a placeholder
        dialog.Control<QLineEdit>(Slot('c'))->setText(U("アイウエ"));
        dialog.Control<QLineEdit>(Slot('k'))->setText(U("カ"));
        dialog.Control<QLineEdit>(Slot('q'))->setText(U("カ"));
        MessageBoxRecorder boxes;
        Click(dialog, kSaveId);
        QCOMPARE(boxes.shown.size(), 2u); // questions
        for (const auto& box : boxes.shown) {
            QVERIFY(box.buttons == platform::Buttons::OkCancel && box.icon == platform::Icon::Exclamation);
        }
        file.letters.SetAt(std::string("アイウ"), "c");
        file.letters.SetAt(std::string("カ"), "q");
        QVERIFY(SameEntries(FromFile(), file));
    }

    // A save stopped at a question has changed the maps; restoring the
    // defaults then removes the file and leaves with the built-in table.
    void restoreAfterAStoppedSave() {
        WriteWhole(kTableFileName, SmallBytes());
        PasswordModel model;
        ConversionTable& table = model.Table();
        table = FromFile();
        CTableEditDlg dialog(model);
        dialog.show();
        dialog.Control<QLineEdit>(Slot('c'))->setText(U("アイウエ"));
        MessageBoxRecorder boxes;
        boxes.Answer(IDCANCEL);
        Click(dialog, kSaveId);
        QVERIFY(dialog.isVisible());
        Click(dialog, kRestoreId);
        QVERIFY(!dialog.isVisible() && !QFile::exists(kTableFileName));
        QVERIFY(SameEntries(table, Defaults()));
    }

    // What stops the editor with a message keeps it open, the file as it was,
    // so the user can remove the cause: a file error, a damaged file (which
    // leaves the maps empty), a key the file would cut (a NUL came in with
    // pasted text).
    void stopsKeepTheEditorOpen() {
        const std::string isFolder =
            FileErrorText(std::make_error_code(std::errc::is_a_directory), kTableFileName);
        const struct {
            int button;
            std::string file; // "folder": a folder stands there
            QString key;      // typed into row a's first slot
            std::string messageEnd;
        } rows[] = {
            {kSaveId, "folder", {}, isFolder},
            {kRestoreId, "folder", {}, isFolder},
            {kCancelId, SmallBytes().substr(0, 30), {}, DescribeTableReadError(TableReadError::EndOfFile)},
            {kSaveId, SmallBytes(), U("ア") + QChar(0) + U("イ"),
             *CheckStorableKey(std::string("ア") + '\0')},
        };
        for (const auto& row : rows) {
            QDir(kTableFileName).removeRecursively();
            if (row.file == "folder") {
                QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
            } else {
                WriteWhole(kTableFileName, row.file);
            }
            PasswordModel model;
            ConversionTable& table = model.Table();
            table = Defaults();
            CTableEditDlg dialog(model);
            dialog.show();
            if (!row.key.isEmpty()) {
                dialog.Control<QLineEdit>(Slot('a'))->setText(row.key);
            }
            MessageBoxRecorder boxes;
            Click(dialog, row.button);
            QCOMPARE(boxes.shown.size(), 1u); // a stop
            const auto& box = boxes.shown[0];
            QVERIFY(box.buttons == platform::Buttons::Ok && box.icon == platform::Icon::Stop);
            QVERIFY2(box.text.endsWith(ToQString(row.messageEnd)), qPrintable(box.text));
            QVERIFY(dialog.isVisible());
            QCOMPARE(table.GetCount(), row.button == kCancelId ? 0 : Defaults().GetCount());
            QVERIFY(row.file == "folder" || ReadWhole(kTableFileName) == row.file);
            dialog.hide();
        }
    }

    // The key slots take romaji as the katakana field does, up to the save's
    // six bytes; leaving a slot commits its pending letters. Row n's sixth
    // slot counts too.
    void keySlotsAreFilledFromTheKeyboard() {
        PasswordModel model;
        ConversionTable& table = model.Table();
        CTableEditDlg dialog(model);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const auto& [slot, keys] :
             {std::pair{Slot('n', kLetterSlots), "n'n'n'n'"}, {Slot('a', 1), "kak"}}) {
            auto* edit = dialog.Control<QLineEdit>(slot);
            QVERIFY(!edit->toolTip().isEmpty());
            edit->setFocus();
            QTRY_VERIFY(edit->hasFocus());
            QTest::keyClicks(edit, QString::fromLatin1(keys));
        }
        // A click on the button takes the focus, which commits what is pending.
        MessageBoxRecorder boxes;
        QTest::mouseClick(dialog.Control<QWidget>(kSaveId), Qt::LeftButton);
        QVERIFY(boxes.shown.empty());
        ConversionTable expected;
        expected.letters.SetAt(std::string("ンンン"), "n");
        expected.letters.SetAt(std::string("カｋ"), "a");
        QVERIFY(SameEntries(table, expected));
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_previous;
};

QTEST_MAIN(CTableEditDlgTest)
#include "CTableEditDlgTest.moc"
