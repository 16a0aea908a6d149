// The print image (the centred and clipped password, the colours that print,
// the label read from it), its font and colour with their chooser and their
// settings, and the printer presence behind the print button: the device
// notices, and the link library's kernel backend on a fake device tree, its
// calls that register, open, close or ask about a link recorded on their way.
#include "print/PrintImage.h"

#include "print/DeviceNotices.h"
#include "print/FontChoiceDialog.h"
#include "print/FontChooser.h"
#include "print/PrintStyle.h"
#include "print/PrintStyleSettings.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterPresence.h"
#include "print/QtFont.h"
#include "support/GuiTestHelpers.h"
#include "support/TavopusEnvironment.h"
#include "support/TempFolder.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/tavopus.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QImage>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

// The start face at a character height of `pixels`.
PrintStyle StyleWith(int pixels, QColor colour) {
    PrintStyle style;
    QFont font = style.Font();
    font.setPixelSize(pixels);
    style.Set(font, colour);
    return style;
}

// The text drawn whole in black without antialiasing, its baseline origin at (kAt, kAt + ascent).
constexpr int kAt = 400;
QImage FreeLine(const QString& text, QFont font) {
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    QImage canvas(metrics.horizontalAdvance(text) + 2 * kAt, metrics.height() + 2 * kAt,
                  QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(kAt, kAt + metrics.ascent(), text);
    return canvas;
}

// Makes `text` the current row of the picker's list that holds it, as a click would.
bool Highlight(QFontDialog* picker, const QString& text) {
    for (auto* view : picker->findChildren<QListView*>())
        for (const QModelIndex& found :
             view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly))
            return view->setCurrentIndex(found), true;
    return false;
}

// R (register), U (unregister), S<n> (start a link to n), E (end), M<h>:<n>
// (is the removed node n mine? h a handle, 0 none), and 1 or 0 as the presence
// says the link opened or closed. Every write fails, as the library answers one
// that timed out, having ended the link.
class RecordingLibrary : public PrinterLibrary {
public:
    using Base = PrinterLibrary;
    RecordingLibrary() { Replace(this); }
    ~RecordingLibrary() override { Replace(nullptr); }
    std::uint32_t RegistHandle(std::uint32_t window) override { return Log("R", Base::RegistHandle(window)); }
    std::uint32_t UnregistHandle() override { return Log("U", Base::UnregistHandle()); }
    std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t number) override {
        return Log("S" + QString::number(number), Base::StartDevice(handle, number));
    }
    std::uint32_t EndDevice(std::uint32_t handle) override { return Log("E", Base::EndDevice(handle)); }
    std::uint32_t UsbWrite(std::uint32_t, const void*, std::uint32_t) override { return 1; }
    std::uint32_t CheckMyDevice(std::uint32_t handle, std::int32_t number) override {
        const QString call = QString(handle != 0 ? "Mh:" : "M0:") + QString::number(number);
        return Log(call, Base::CheckMyDevice(handle, number));
    }
    std::uint32_t Log(const QString& call, std::uint32_t result) { return calls << call, result; }
    QStringList calls;
};

// The colour the real chooser starts from, its name in the list, the key that ends it.
struct ChooserRow {
    QColor colour;
    QString item;
    Qt::Key key;
    bool pick; // red and underlined before the key
};

} // namespace

Q_DECLARE_METATYPE(ChooserRow)

class PrintGuiTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        tavopus::testing::Reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // The line's origin centres it on its advance and on the font's ascent
    // plus descent (so the baseline is the same whatever the letters), half a
    // pixel up and left when odd, whether it fits or not.
    void lineOriginCentres() {
        const QRect area = PrintImage::kTextArea;
        for (int advance = -3; advance < 2 * area.width(); ++advance)
            for (const int height : {0, 63, 64, 200}) {
                const QPoint origin = PrintImage::LineOrigin(advance, height - 5, 5);
                const int across = 2 * (origin.x() - area.left()) - (area.width() - advance);
                const int down = 2 * (origin.y() - (height - 5) - area.top()) - (area.height() - height);
                QVERIFY((across == 0 || across == -1) && (down == 0 || down == -1));
            }
    }

    // The text area shows the whole line drawn at its origin, clipped. Through
    // real glyphs: the longest run of a letter that fits shows whole; one
    // letter more loses ink.
    void lineShowsAtItsOriginClippedAndWholeWhenItFits() {
        const PrintStyle style = StyleWith(48, Qt::black);
        const QFontMetrics metrics(style.Font());
        const QRect area = PrintImage::kTextArea;
        for (const char* password : {"gjpq", "Pass-Word_1234567890-abcdefgh"}) {
            const QPoint origin = PrintImage::LineOrigin(metrics.horizontalAdvance(password),
                                                         metrics.ascent(), metrics.descent());
            const QImage line = FreeLine(password, style.Font());
            const QImage image = PrintImage::Render(password, style);
            QVERIFY(area.contains(Ink(image, PrintImage::kWhiteArea)));
            QVERIFY2(image.copy(area) ==
                         line.copy(area.translated(QPoint(kAt, kAt + metrics.ascent()) - origin)),
                     password);
        }
        int longest = 0;
        while (longest < 400 && PrintImage::Fits(QString(longest + 1, QChar('W')).toStdString(), style))
            ++longest;
        QVERIFY(longest > 0 && longest < 400 && PrintImage::Fits("", style));
        for (const int length : {longest, longest + 1}) {
            const QString text(length, QChar('W'));
            const QImage whole = FreeLine(text, style.Font());
            const int shown =
                Ink(PrintImage::Render(text.toStdString(), style), PrintImage::kWhiteArea).width();
            QCOMPARE(shown == Ink(whole, whole.rect()).width(), length == longest);
        }
    }

    // Only pure white prints nothing; any other colour prints the dots of
    // black, in that colour and no shade between; the label starts at (1, 1).
    void coloursThatPrint() {
        QCOMPARE(PrintImage::Label(PrintImage::Render("Wg8@", StyleWith(48, Qt::white))).DotCount(), 0U);
        for (const auto& [colour, height] : {std::pair{QColor(255, 255, 254), 48}, {QColor(Qt::red), 90}}) {
            const QImage image = PrintImage::Render("Wg8@", StyleWith(height, colour));
            const LabelImage label = PrintImage::Label(image);
            QVERIFY(label.DotCount() > 0);
            QCOMPARE(label, PrintImage::Label(PrintImage::Render("Wg8@", StyleWith(height, Qt::black))));
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 384; ++x)
                    QVERIFY(!label.Dot(x, y) || QColor(image.pixel(x + 1, y + 1)) == colour);
        }
        QImage image(PrintImage::kSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (const QPoint at : {QPoint(0, 0), QPoint(1, 1), QPoint(384, 64), QPoint(385, 65)})
            image.setPixel(at, 0xFF123456);
        const LabelImage label = PrintImage::Label(image);
        QVERIFY(label.DotCount() == 2 && label.Dot(0, 0) && label.Dot(383, 63));
    }

    // Nothing kept gives no style; one kept by earlier versions, field by field,
    // is made as they made it; a style saved over it reads back as it was kept;
    // an incomplete or unusable one is not taken. (Through a file: the window's
    // settings test.)
    void keptStyle() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("kept.conf"), QSettings::IniFormat);
        QVERIFY(!LoadPrintStyle(settings));
        QFont font = StyleWith(30, Qt::black).Font();
        font.setUnderline(true);
        const FontChoice style{font, QColor(0x65, 0x43, 0x21)};
        // Every number field set (strikeOut to the smallest value kept, clipPrecision to the largest).
        const FontDescription old{-30, 12, 900, 450, 700, 1, 1, 0, 128, 3, 255, 4, 0x31, "ＭＳ Ｐゴシック"};
        // The keys as earlier versions named them, in the order of the values.
        const char* const keys[] = {
            "height",    "width",   "escapement",   "orientation",   "weight",  "italic",         "underline",
            "strikeOut", "charSet", "outPrecision", "clipPrecision", "quality", "pitchAndFamily", "faceName"};
        const QVariant values[] = {
            old.height,        old.width,     old.escapement,     old.orientation,     old.weight,
            old.italic,        old.underline, old.strikeOut,      old.charSet,         old.outPrecision,
            old.clipPrecision, old.quality,   old.pitchAndFamily, U("ＭＳ Ｐゴシック")};
        const auto keepOld = [&] {
            settings.clear();
            for (std::size_t i = 0; i < std::size(keys); ++i)
                settings.setValue(QString("print/font/") + keys[i], values[i]);
            settings.setValue("print/colour", "#123456");
        };
        keepOld();
        QVERIFY(LoadPrintStyle(settings) == (FontChoice{CreateQFont(old).value(), QColor(0x12, 0x34, 0x56)}));
        // A style saved over the old fields is the one read.
        SavePrintStyle(settings, style);
        // As Qt writes a font: a font read from text may differ in what Qt does not write.
        const auto read = LoadPrintStyle(settings);
        QVERIFY(read && read->font.toString() == font.toString() && read->colour == style.colour);
        const std::pair<const char*, QVariant> spoilt[] = {
            {"print/font/weight", {}},  {"print/font/faceName", {}},  {"print/font/italic", 256},
            {"print/font/charSet", -1}, {"print/font/height", -5000}, {"print/font/faceName", U("😀")},
            {"print/colour", "#12345"}, {"print/font", "Face,12,x"},
        };
        for (const auto& [key, value] : spoilt) {
            keepOld();
            value.isValid() ? settings.setValue(key, value) : settings.remove(key);
            QVERIFY2(!LoadPrintStyle(settings), key);
        }
    }

    // The chooser's answer is taken; the next opening starts from what is kept
    // (font and colour, made opaque).
    void changePrintFont() {
        for (const bool answer : {false, true}) { // cancel, a new font
            PrintStyle style;
            const FontChoice before{style.Font(), style.TextColour()};
            const FontChoice chosen{StyleWith(30, Qt::black).Font(), QColor(0x80, 0x00, 0x00, 0x40)};
            // Answers the first opening as the row says, cancels the second.
            struct Chooser : FontChooser {
                std::optional<FontChoice> answer;
                std::vector<FontChoice> starts;
                std::optional<FontChoice> Choose(QWidget*, const FontChoice& start) override {
                    starts.push_back(start);
                    return std::exchange(answer, std::nullopt);
                }
            } chooser;
            if (answer)
                chooser.answer = chosen;
            FontChooser::Replace(&chooser);
            const bool redraw = style.ChangeFont(nullptr);
            style.ChangeFont(nullptr);
            FontChooser::Replace(nullptr);
            QCOMPARE(redraw, answer);
            FontChoice expected = answer ? chosen : before;
            expected.colour.setAlpha(255);
            const auto& starts = chooser.starts;
            QVERIFY(starts.size() == 2 && starts[0] == before && starts[1] == expected);
            QCOMPARE(style.Font(), expected.font);
        }
    }

    // The real chooser shows the font and colour it is given, Enter in its font
    // list ends it with OK; untouched, it gives back what it was given.
    void realChooser_data() {
        QTest::addColumn<ChooserRow>("row");
        QTest::newRow("a listed colour, picked")
            << ChooserRow{QColor(0, 0, 0x80), U("紺"), Qt::Key_Return, true};
        QTest::newRow("another colour, untouched")
            << ChooserRow{QColor(254, 254, 254), U("カスタム"), Qt::Key_Return, false};
        QTest::newRow("cancelled") << ChooserRow{QColor(Qt::black), U("黒"), Qt::Key_Escape, true};
    }
    void realChooser() {
        QFETCH(ChooserRow, row);
        const FontChoice start{PrintStyle().Font(), row.colour};
        QString shownColour;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<FontChoiceDialog*>(QApplication::activeModalWidget());
            auto* colours = dialog->findChild<QListWidget*>(QStringLiteral("colours"));
            shownColour = colours->currentItem()->text();
            auto* picker = dialog->findChild<QFontDialog*>();
            if (row.pick) {
                colours->setCurrentItem(colours->findItems(U("赤"), Qt::MatchExactly).value(0));
                QFont underlined = picker->currentFont();
                underlined.setUnderline(true);
                picker->setCurrentFont(underlined);
            }
            if (row.key == Qt::Key_Escape) // the button that Escape stands for
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
            else
                QTest::keyClick(picker->findChild<QListView*>(), row.key);
            if (dialog->isVisible()) {
                dialog->reject();
                shownColour = "still open";
            }
        });
        const std::optional<FontChoice> choice = ChooseFont(nullptr, start);
        QCOMPARE(shownColour, row.item);
        FontChoice expected = start;
        if (row.pick) {
            expected.colour = Qt::red;
            expected.font.setUnderline(true);
        }
        QCOMPARE(choice.has_value(), row.key == Qt::Key_Return);
        QVERIFY(!choice || *choice == expected);
    }

    // Another face keeps the style where it can (the choice itself is the core's).
    void newFaceKeepsTheStyle() {
        if (!QFontDatabase::families().contains("DejaVu Serif"))
            QSKIP("DejaVu is not installed");
        // A missing style becomes the regular one, where Qt would take another.
        FontChoiceDialog dialog(FontChoice{PrintStyle().Font(), Qt::black});
        auto* picker = dialog.findChild<QFontDialog*>();
        QVERIFY(Highlight(picker, "DejaVu Sans") && Highlight(picker, "ExtraLight"));
        QVERIFY(Highlight(picker, "DejaVu Serif"));
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), QString("Book"));
        QVERIFY(Highlight(picker, "Bold Italic") && Highlight(picker, "DejaVu Sans"));
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), QString("Bold Oblique"));
    }

    // Which udev events become which notices.
    void udevEvents() {
        const TavopNotice changed{TAVOP_DEVICES_CHANGED, 0};
        const struct {
            const char* action;
            const char* name;
            std::vector<TavopNotice> notices;
        } rows[] = {
            {"add", "lp0", {changed}}, {"remove", "lp126", {{TAVOP_DEVICE_REMOVED, 126}, changed}},
            {"add", "lp127", {}},      {"remove", "hiddev0", {}},
            {"remove", "lp0x", {}},    {"change", "lp0", {}},
        };
        for (const auto& row : rows)
            QVERIFY2(DeviceNotices::NoticesFor(row.action, row.name) == row.notices, row.name);
    }

    void presence();
};

// Calls: of the notice, or of start-up. A write that times out (of the label
// job, or of the status poll) has ended the link in the library: both stop
// there, the link said closed.
void PrintGuiTest::presence() {
    const auto none = TavopNoticeKind{}, changed = TAVOP_DEVICES_CHANGED, removed = TAVOP_DEVICE_REMOVED;
    enum Then { kNothing, kJobFails, kPollFails };
    const struct {
        QList<int> before, after; // plugged in at start-up, and when the notice comes
        TavopNoticeKind kind;     // none: start-up only
        std::int32_t device;      // in a removal notice
        Then then;
        const char* calls;
        bool linked;
    } rows[] = {
        {{}, {}, none, 0, kJobFails, "R 0", false},         {{7, 3}, {}, none, 0, kNothing, "R S3 1", true},
        {{126}, {}, none, 0, kNothing, "R S126 1", true},   {{}, {5}, changed, 0, kNothing, "S5 1", true},
        {{4}, {4, 2}, changed, 0, kNothing, "1", true},     {{4}, {}, changed, 0, kNothing, "1 E 0", false},
        {{4}, {}, removed, 4, kNothing, "Mh:4 E 0", false}, {{4}, {4}, removed, 9, kNothing, "Mh:9", true},
        {{}, {}, changed, 0, kNothing, "0", false},         {{4}, {}, none, 0, kJobFails, "R S4 1 0", false},
        {{4}, {}, none, 0, kPollFails, "R S4 1 0", false},
    };
    for (const auto& row : rows) {
        const TempFolder root("print-devices");
        tavopus::testing::Reset();
        TavopusEnvironment devices;
        devices.sysfsRoot = (root / "sys").string();
        devices.devRoot = (root / "dev").string();
        // A fresh device tree holding these label printers.
        const auto plug = [&](const QList<int>& numbers) {
            std::filesystem::remove_all(root / "sys");
            std::filesystem::create_directories(root / "dev/usb");
            for (const int number : numbers) {
                const std::string name = "lp" + std::to_string(number);
                std::filesystem::create_directories(root / "sys/class/usbmisc" / name / "device");
                WriteWhole(root / "sys/class/usbmisc" / name / "device/ieee1284_id", "MFG:ORBEK;");
                WriteWhole(root / "dev/usb" / name, "");
            }
        };
        plug(row.before);
        RecordingLibrary library;
        QWidget window;
        auto presence = std::make_unique<PrinterPresence>(&window);
        connect(presence.get(), &PrinterPresence::LinkChanged,
                [&](bool open) { library.calls << U(open ? "1" : "0"); });
        presence->Start();
        if (row.kind != none) {
            plug(row.after);
            library.calls.clear();
            presence->OnDeviceChange({row.kind, row.device});
        }
        if (row.then == kPollFails)
            presence->PollStatus();
        else if (row.then == kJobFails && presence->StartLabel({}))
            presence->WaitForJob();
        QCOMPARE(library.calls.join(' '), row.calls);
        QCOMPARE(presence->IsLinked(), row.linked);
        // Going away ends a link still open, then lets go of the library.
        library.calls.clear();
        presence.reset();
        QCOMPARE(library.calls.join(' '), row.linked ? "E U" : "U");
    }
}

QTEST_MAIN(PrintGuiTest)
#include "PrintGuiTest.moc"
