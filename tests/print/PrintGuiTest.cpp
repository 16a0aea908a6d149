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
#include "support/TempFolder.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/tavopus.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QImage>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

PrintStyle StyleWith(int height, QColor colour) {
    PrintStyle style;
    FontDescription font = style.Description();
    font.height = height;
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
    std::uint32_t RegistHandle(std::uint32_t window) override { return Log("R", Base::RegistHandle(window)); }
    std::uint32_t UnregistHandle() override { return Log("U", Base::UnregistHandle()); }
    std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t number) override {
        return Log("S" + QString::number(number), Base::StartDevice(handle, number));
    }
    std::uint32_t EndDevice(std::uint32_t handle) override { return Log("E", Base::EndDevice(handle)); }
    std::uint32_t UsbWrite(std::uint32_t, const void*, std::uint32_t) override { return 1; }
    std::uint32_t CheckMyDevice(std::uint32_t handle, std::uint32_t word) override {
        const QString call = QString(handle != 0 ? "Mh:" : "M0:") + QString::number(word & 0xFFFFu);
        return Log(call, Base::CheckMyDevice(handle, word));
    }
    std::uint32_t Log(const QString& call, std::uint32_t result) { return calls << call, result; }
    QStringList calls;
};

} // namespace

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

    // The text area shows the whole line drawn at its origin, clipped.
    void lineIsDrawnAtItsOriginAndClipped() {
        const PrintStyle style = StyleWith(-48, Qt::black);
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
    }

    // Through real glyphs: the longest run of a letter that fits shows whole;
    // one letter more loses ink.
    void passwordFitsUpToTheLabelsWidth() {
        const PrintStyle style = StyleWith(-48, Qt::black);
        int longest = 0;
        while (longest < 400 && PrintImage::Fits(std::string(longest + 1, 'W'), style))
            ++longest;
        QVERIFY(longest > 0 && longest < 400);
        for (const int length : {longest, longest + 1}) {
            const QString text(length, QChar('W'));
            const QImage whole = FreeLine(text, style.Font());
            const int shown =
                Ink(PrintImage::Render(text.toStdString(), style), PrintImage::kWhiteArea).width();
            QCOMPARE(shown == Ink(whole, whole.rect()).width(), length == longest);
        }
        QVERIFY(PrintImage::Fits("", StyleWith(-48, Qt::black)));
    }

    // Only pure white prints nothing; any other colour prints the dots of
    // black, in that colour and no shade between; the label starts at (1, 1).
    void coloursThatPrint() {
        QCOMPARE(PrintImage::Label(PrintImage::Render("Wg8@", StyleWith(-48, Qt::white))).DotCount(), 0U);
        for (const auto& [colour, height] : {std::pair{QColor(255, 255, 254), -48}, {QColor(Qt::red), -90}}) {
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

    // Against a base no font can be made from, every field a QFont carries is
    // read from the font and the others come from the base.
    void qtFontRoundTrip() {
        // Stretched, bold, italic, underlined, struck out, aliased, fixed pitch and modern.
        const FontDescription styled{-20, 16, 0, 0, 700, 1, 1, 1, 0, 0, 0, 3, 0x31, "IPAGothic"};
        FontDescription base, expected = styled;
        base.weight = FontDescription::kMaxWeight + 1;
        base.escapement = expected.escapement = 450;
        QVERIFY(DescribeQFont(CreateQFont(styled).value(), base, 96) == expected);
    }

    // Every field reads back; a kept style that is incomplete or unusable is not taken.
    void keptStyle() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("kept.conf"), QSettings::IniFormat);
        QVERIFY(!LoadPrintStyle(settings));
        // Every number field set (clipPrecision to the largest value kept) but the
        // weight, which the spoilt keys check; the face ＭＳ Ｐゴシック.
        const FontChoice style{{-30, 12, 900, 450, 0, 1, 1, 1, 128, 3, 255, 4, 0x31,
                                "ＭＳ Ｐゴシック"},
                               QColor(0x12, 0x34, 0x56)};
        SavePrintStyle(settings, style);
        settings.sync();
        QVERIFY(LoadPrintStyle(QSettings(dir.filePath("kept.conf"), QSettings::IniFormat)) == style);
        const std::pair<const char*, QVariant> spoilt[] = {
            {"print/font/weight", {}},  {"print/font/faceName", {}},  {"print/font/italic", 256},
            {"print/font/charSet", -1}, {"print/font/height", -5000}, {"print/font/faceName", U("😀")},
            {"print/colour", "#12345"},
        };
        for (const auto& [key, value] : spoilt) {
            SavePrintStyle(settings, style);
            value.isValid() ? settings.setValue(key, value) : settings.remove(key);
            QVERIFY2(!LoadPrintStyle(settings), key);
        }
    }

    // The handler's answer is taken only when its font can be made; the next
    // opening starts from what is kept (font and colour, made opaque).
    void changePrintFont() {
        for (const int answer : {0, 1, 2}) { // cancel, a new font, one that cannot be made
            PrintStyle style;
            const FontChoice before{style.Description(), style.TextColour()};
            const int weight = answer == 2 ? FontDescription::kMaxWeight + 1 : 700;
            const FontChoice chosen{{-30, 0, 0, 0, weight, 0, 1, 0, 0, 0, 0, 0, 0, "IPAGothic"},
                                    QColor(0x80, 0x00, 0x00, 0x40)};
            std::vector<FontChoice> starts;
            SetFontChooserHandler([&](QWidget*, const FontChoice& start) -> std::optional<FontChoice> {
                starts.push_back(start);
                return answer == 0 || starts.size() > 1 ? std::nullopt : std::optional(chosen);
            });
            const bool redraw = style.ChangeFont(nullptr);
            style.ChangeFont(nullptr);
            SetFontChooserHandler({});
            QCOMPARE(redraw, answer != 0);
            FontChoice expected = answer == 1 ? chosen : before;
            expected.colour.setAlpha(255);
            QVERIFY(starts.size() == 2 && starts[0] == before && starts[1] == expected);
            QCOMPARE(style.Font(), CreateQFont(expected.font).value());
        }
    }

    // The real chooser shows the font and colour it is given, Enter in its font
    // list ends it with OK; untouched, it gives back what it was given.
    void realChooser() {
        const struct {
            QColor colour;
            const char* item;
            Qt::Key key;
            bool pick;
        } rows[] = {{QColor(0, 0, 0x80), "紺", Qt::Key_Return, true},
                    {QColor(254, 254, 254), "カスタム", Qt::Key_Return, false},
                    {QColor(Qt::black), "黒", Qt::Key_Escape, true}};
        for (const auto& row : rows) {
            const FontChoice start{PrintStyle().Description(), row.colour};
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
                QTest::keyClick(picker->findChild<QListView*>(), row.key);
                if (dialog->isVisible()) {
                    dialog->reject();
                    shownColour = "still open";
                }
            });
            const std::optional<FontChoice> choice = ChooseFont(nullptr, start);
            QCOMPARE(shownColour, U(row.item));
            FontChoice expected = start;
            if (row.pick) {
                expected.colour = Qt::red;
                expected.font.underline = 1;
            }
            QCOMPARE(choice.has_value(), row.key == Qt::Key_Return);
            QVERIFY(!choice || *choice == expected);
        }
    }

    // Another face keeps the style where it can (the choice itself is the core's).
    void newFaceKeepsTheStyle() {
        if (!QFontDatabase::families().contains("DejaVu Serif"))
            QSKIP("DejaVu is not installed");
        // A missing style becomes the regular one, where Qt would take another.
        FontChoiceDialog dialog(FontChoice{PrintStyle().Description(), Qt::black});
        auto* picker = dialog.findChild<QFontDialog*>();
        QVERIFY(Highlight(picker, "DejaVu Sans") && Highlight(picker, "ExtraLight"));
        QVERIFY(Highlight(picker, "DejaVu Serif"));
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), QString("Book"));
        QVERIFY(Highlight(picker, "Bold Italic") && Highlight(picker, "DejaVu Sans"));
        QCOMPARE(QFontDatabase::styleString(picker->currentFont()), QString("Bold Oblique"));
    }

    // Which udev events become which notices.
    void udevEvents() {
        const DeviceNotices::Notice changed{TAVOP_DEVNODES_CHANGED, 0};
        const struct {
            const char* action;
            const char* name;
            std::vector<DeviceNotices::Notice> notices;
        } rows[] = {
            {"add", "lp0", {changed}},
            {"remove", "lp126", {{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(126)}, changed}},
            {"add", "lp127", {}},
            {"remove", "hiddev0", {}},
            {"remove", "lp0x", {}},
            {"change", "lp0", {}},
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
    const quint32 changed = TAVOP_DEVNODES_CHANGED, removed = TAVOP_DEVICEREMOVECOMPLETE;
    enum Then { kNothing, kJobFails, kPollFails };
    const struct {
        QList<int> before, after; // plugged in at start-up, and when the notice comes
        quint32 event;            // 0: start-up only
        int word;                 // node number in a removal notice
        Then then;
        const char* calls;
        bool linked;
    } rows[] = {
        {{}, {}, 0, 0, kJobFails, "R 0", false},
        {{7, 3}, {}, 0, 0, kNothing, "R S3 1", true},
        {{126}, {}, 0, 0, kNothing, "R S126 1", true},
        {{}, {5}, changed, 0, kNothing, "S5 1", true},
        {{4}, {4, 2}, changed, 0, kNothing, "1", true},
        {{4}, {}, changed, 0, kNothing, "1 E 0", false},
        {{4}, {}, removed, 4, kNothing, "Mh:4 E 0", false},
        {{4}, {4}, removed, 9, kNothing, "Mh:9", true},
        {{}, {}, changed, 0, kNothing, "0", false},
        {{4}, {}, 0, 0, kJobFails, "R S4 1 0", false},
        {{4}, {}, 0, 0, kPollFails, "R S4 1 0", false},
    };
    for (const auto& row : rows) {
        const TempFolder root("print-devices");
        tavopus::testing::Reset();
        tavopus::testing::SetRoots((root / "sys").string(), (root / "dev").string());
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
        auto presence = std::make_unique<PrinterPresence>(library, &window);
        connect(presence.get(), &PrinterPresence::LinkChanged,
                [&](bool open) { library.calls << U(open ? "1" : "0"); });
        presence->Start();
        if (row.event != 0) {
            plug(row.after);
            library.calls.clear();
            presence->OnDeviceChange(row.event, TAVOP_NODE_WORD(row.word));
        }
        if (row.then == kPollFails)
            presence->PollStatus();
        else if (row.then == kJobFails)
            QVERIFY(!presence->SendLabel({}));
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
