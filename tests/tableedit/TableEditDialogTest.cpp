// The table editor: the grid filled from the maps, the checks of the save,
// and what each way out leaves in the maps and the table file. Every test
// runs in its own empty current folder, where "Q8.xj" lives.
#include "tableedit/TableEditDialog.h"

#include "files/FileError.h"
#include "kana/KanaLineEdit.h"
#include "platform/FileErrorText.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "platform/Cp932Codec.h"
#include "support/TableHelpers.h"
#include "support/TempFolder.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

#include <filesystem>
#include <optional>

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

// The editor, shown, over a model holding `table`.
struct Editor {
    explicit Editor(const ConversionTable& table)
        : dialog((model.Table() = table, model)) {
        dialog.show();
    }
    QLineEdit* Edit(char output, int slot = 0) { return dialog.Control<QLineEdit>(Slot(output, slot)); }
    PasswordModel model;
    TableEditDialog dialog;
};

struct StopRow {
    int button;
    std::string file; // "folder": a folder stands there
    QString key;      // typed into row a's first slot
    std::string messageEnd;
};

ConversionTable FromFile() {
    ConversionTable table;
    LoadConversionTable(table);
    return table;
}

} // namespace

Q_DECLARE_METATYPE(StopRow)

class TableEditDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder.emplace();
        QVERIFY(QDir::setCurrent(m_folder->path()));
    }
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    // A row shows the first keys its map yields for its character (a letter's
    // in either case), lowest slot first; a full row leaves the rest out, and
    // what has no row is not shown. Slots take any length of key.
    void rowsTakeTheFirstKeysTheMapYields() {
        for (const auto& [map, value, output, count] : {std::tuple{TableMap::Letters, "n", 'n', 6},
                                                        {TableMap::Letters, "K", 'k', 5},
                                                        {TableMap::Symbols, "@", '@', 2}}) {
            ConversionTable table;
            for (const QChar key : QStringLiteral("カキクケコサ")) {
                table.Map(map).insert_or_assign(FromQString(key).value(), value);
                table.letters.insert_or_assign(FromQString(key).value() + "x", "#");
            }
            Editor e(table);
            const auto edits = e.dialog.findChildren<QLineEdit*>();
            QCOMPARE(
                std::count_if(edits.begin(), edits.end(), [](auto* edit) { return !edit->text().isEmpty(); }),
                count);
            int slot = 0;
            for (const auto& entry : e.model.Table().Map(map)) {
                if (entry.value == value && slot < count) {
                    QCOMPARE(e.Edit(output, slot++)->text(), ToQString(entry.key));
                }
            }
            // What the grid cannot show is said, and a save keeps it.
            QVERIFY(e.dialog.windowTitle().contains(QStringLiteral("%1 件").arg(12 - count)));
            e.dialog.OnSaveTable();
            const ConversionTable saved = FromFile();
            for (const TableMap m : kTableMaps) {
                QCOMPARE(saved.Map(m).size(), table.Map(m).size());
            }
        }
    }

    // The built-in table fits the grid whole, so saving it unchanged writes it
    // back. The first slot has the focus; no button is a default one, so Enter
    // in a key slot does nothing, and on a button presses it.
    void editTableShowsTheDefaultsWholeAndEnterChangesNothing() {
        Editor e(Defaults());
        TableEditDialog& dialog = e.dialog;
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
    // for byte, even keys that are not valid code page 932. A save stopped at
    // a question has changed the maps; restoring the defaults then removes the
    // file and leaves with the built-in table.
    void saveAsksItsQuestionsAndRestoreFollowsAStop() {
        ConversionTable file;
        file.digits.insert_or_assign(cp932::Decode("\x81\x20"), "1");
        using Answers = std::vector<QMessageBox::StandardButton>; // stop at the first, the second, none
        for (const Answers& answers :
             {Answers{QMessageBox::Cancel}, {QMessageBox::Ok, QMessageBox::Cancel}, {}}) {
            const QMessageBox::StandardButton answer = answers.empty() ? QMessageBox::Ok : answers.back();
            WriteWhole(kTableFileName, SerializeConversionTable(file));
            Editor e(FromFile());
            QVERIFY(!e.Edit('1')->text().isEmpty()); // a placeholder
            e.Edit('c')->setText(U("アイウエ"));
            e.Edit('k')->setText(U("カ"));
            e.Edit('q')->setText(U("カ"));
            MessageBoxRecorder boxes;
            boxes.answers = answers;
            e.dialog.Control<QPushButton>(kSaveId)->click();
            QCOMPARE(boxes.shown.size(), answers.empty() ? 2u : answers.size()); // questions
            for (const auto& b : boxes.shown)
                QVERIFY(b.buttons == platform::Buttons::OkCancel && b.icon == platform::Icon::Exclamation);
            QCOMPARE(e.dialog.isVisible(), answer == QMessageBox::Cancel);
            if (answer == QMessageBox::Cancel) {
                e.dialog.Control<QPushButton>(kRestoreId)->click();
                QVERIFY(!e.dialog.isVisible() && !QFile::exists(kTableFileName));
                QVERIFY(SameEntries(e.model.Table(), Defaults()));
            }
        }
        file.letters.insert_or_assign(std::string("アイウ"), "c");
        file.letters.insert_or_assign(std::string("カ"), "q");
        QVERIFY(SameEntries(FromFile(), file));
    }

    // What stops the editor with a message keeps it open, the file as it was,
    // so the user can remove the cause: a file error, a damaged file (which
    // leaves the maps empty), a key the file would cut (a NUL came in with
    // pasted text).
    void stopsKeepTheEditorOpen_data() {
        const std::string isFolder =
            FileErrorText(std::make_error_code(std::errc::is_a_directory), kTableFileName);
        ConversionTable small; // a table file unlike the defaults
        small.letters.insert_or_assign(std::string("ア"), "a");
        const std::string bytes = SerializeConversionTable(small);
        const std::string endOfFile = DescribeTableReadError(TableReadError::EndOfFile);
        const std::string nul = *CheckStorableKey(std::string("ア") + '\0');
        QTest::addColumn<StopRow>("row");
        // clang-format off
        QTest::newRow("save over a folder") << StopRow{kSaveId, "folder", {}, isFolder};
        QTest::newRow("restore over a folder") << StopRow{kRestoreId, "folder", {}, isFolder};
        QTest::newRow("restore, the file write-protected") << StopRow{kRestoreId, "readonly", {}, FileErrorText(files::FileError::ReadOnly, kTableFileName)};
        QTest::newRow("restore, a link to nothing") << StopRow{kRestoreId, "dangling", {}, FileErrorText(files::FileError::DanglingLink, kTableFileName)};
        QTest::newRow("cancel, the file damaged") << StopRow{kCancelId, bytes.substr(0, 30), {}, endOfFile};
        QTest::newRow("save, a NUL in a key") << StopRow{kSaveId, bytes, U("ア") + QChar(0) + U("イ"), nul};
        // clang-format on
    }
    void stopsKeepTheEditorOpen() {
        QFETCH(StopRow, row);
        if (row.file == "folder") {
            QVERIFY(QDir().mkpath(QStringLiteral("Q8.xj/inside")));
        } else if (row.file == "dangling") { // a table on a drive not mounted
            std::filesystem::create_symlink("none/Q8.xj", kTableFileName);
        } else {
            WriteWhole(kTableFileName, row.file);
            std::filesystem::permissions(kTableFileName, row.file == "readonly"
                                                             ? std::filesystem::perms(0444)
                                                             : std::filesystem::perms(0644));
        }
        Editor e(Defaults());
        if (!row.key.isEmpty()) {
            e.Edit('a')->setText(row.key);
        }
        MessageBoxRecorder boxes;
        e.dialog.Control<QPushButton>(row.button)->click();
        QCOMPARE(boxes.shown.size(), 1u); // a stop
        const auto& box = boxes.shown[0];
        QVERIFY(box.buttons == platform::Buttons::Ok && box.icon == platform::Icon::Stop);
        QVERIFY2(box.text.endsWith(ToQString(row.messageEnd)), qPrintable(box.text));
        QVERIFY(e.dialog.isVisible());
        QCOMPARE(e.model.Table().size(), row.button == kCancelId ? 0 : Defaults().size());
        QVERIFY(row.file == "folder" || ReadWhole(kTableFileName) == row.file ||
                (row.file == "dangling" && std::filesystem::is_symlink(kTableFileName)));
    }

    // The key slots take romaji as the katakana field does, up to the save's
    // six bytes; leaving a slot commits its pending letters. Row n's sixth
    // slot counts too.
    void keySlotsAreFilledFromTheKeyboard() {
        Editor e{ConversionTable()};
        TableEditDialog& dialog = e.dialog;
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const auto& [slot, keys] :
             {std::pair{Slot('n', kLetterSlots), "n'n'n'n'"}, {Slot('a', 1), "kak"}}) {
            auto* edit = dialog.Control<QLineEdit>(slot);
            // The typing hint shows on hover; a screen reader hears it on the katakana field alone.
            QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(edit, &hover);
            QVERIFY(QToolTip::text() == KanaLineEdit::TypingHint() &&
                    QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Description).isEmpty());
            edit->setFocus();
            QTRY_VERIFY(edit->hasFocus());
            QTest::keyClicks(edit, QString::fromLatin1(keys));
        }
        // A click on the button takes the focus, which commits what is pending.
        MessageBoxRecorder boxes;
        QTest::mouseClick(dialog.Control<QWidget>(kSaveId), Qt::LeftButton);
        QVERIFY(boxes.shown.empty());
        ConversionTable expected;
        expected.letters.insert_or_assign(std::string("ンンン"), "n");
        expected.letters.insert_or_assign(std::string("カｋ"), "a");
        QVERIFY(SameEntries(e.model.Table(), expected));
    }

    // On a screen too small for it (1920 x 1080 at scale 2) the grid scrolls,
    // Tab bringing the slot it reaches into view, and the three buttons stay
    // in view; on a large one nothing changes.
    void editorFitsTheScreen_data() {
        QTest::addColumn<QSize>("room");
        QTest::newRow("1920 x 1080 at scale 2") << QSize(960, 520);
        QTest::newRow("1920 x 1080") << QSize(1920, 1040);
    }
    void editorFitsTheScreen() {
        QFETCH(QSize, room);
        QDialog dialog;
        dlg::Layout layout(dialog, kTableEditTemplate);
        const QSize full = dialog.size();
        layout.FitInto(dialog, room, {kSaveId, kCancelId, kRestoreId});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        layout.Widget(Slot('y', kLetterSlots - 1))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), layout.Widget(Slot('z')));
        QVERIFY(QRect(QPoint(), room).contains(dialog.rect()) &&
                (dialog.size() == full) == (full.height() <= room.height()));
        for (const int id : {kSaveId, kCancelId, kRestoreId, Slot('z')}) {
            QCOMPARE(layout.Widget(id)->visibleRegion().boundingRect(), layout.Widget(id)->rect());
        }
    }

private:
    std::optional<QTemporaryDir> m_folder; // the current folder, a fresh one for each test
};

QTEST_MAIN(TableEditDialogTest)
#include "TableEditDialogTest.moc"
