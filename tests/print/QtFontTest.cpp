// Font descriptions to QFont and back: what survives, what a font left alone
// keeps, and which faces a description cannot hold.
#include "print/QtFont.h"

#include "platform/Cp932.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include <cstdlib>
#include <functional>
#include <optional>

Q_DECLARE_METATYPE(FontDescription)
Q_DECLARE_METATYPE(std::function<void(QFont&)>)
Q_DECLARE_METATYPE(std::function<void(FontDescription&)>)

namespace {

FontDescription Font(const char* face, int height, int weight, std::uint8_t pitchAndFamily) {
    FontDescription d;
    d.faceName = cp932::Text(face);
    d.height = height;
    d.weight = weight;
    d.pitchAndFamily = pitchAndFamily;
    return d;
}

FontDescription StartFont() {
    FontDescription d;
    d.faceName = "MS UI Gothic";
    d.height = -48;
    d.charSet = FontDescription::DefaultCharSet;
    return d;
}

// A base no font can be made from, so every field QFont carries is read from
// the font; the others it holds at values of its own.
FontDescription ForeignBase() {
    FontDescription d;
    d.weight = FontDescription::kMaxWeight + 1;
    d.escapement = 450;
    d.orientation = 450;
    d.charSet = FontDescription::ShiftJisCharSet;
    d.outPrecision = 3;
    d.clipPrecision = 2;
    return d;
}

QString Describe(const FontDescription& d) {
    return QStringLiteral(
               "face %1 h %2 w %3 esc %4 or %5 wt %6 i %7 u %8 s %9 cs %10 op %11 cp %12 q %13 pf %14")
        .arg(ToQString(d.faceName))
        .arg(d.height)
        .arg(d.width)
        .arg(d.escapement)
        .arg(d.orientation)
        .arg(d.weight)
        .arg(d.italic)
        .arg(d.underline)
        .arg(d.strikeOut)
        .arg(d.charSet)
        .arg(d.outPrecision)
        .arg(d.clipPrecision)
        .arg(d.quality)
        .arg(d.pitchAndFamily);
}

#define COMPARE_DESCRIPTIONS(actual, expected) QCOMPARE(Describe(actual), Describe(expected))

} // namespace

class QtFontTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void carriedFieldsSurvive_data() {
        QTest::addColumn<FontDescription>("description");
        const auto fixedModern =
            static_cast<std::uint8_t>(FontDescription::FixedPitch | FontDescription::Modern);
        const auto variableSwiss =
            static_cast<std::uint8_t>(FontDescription::VariablePitch | FontDescription::Swiss);
        const auto variableRoman =
            static_cast<std::uint8_t>(FontDescription::VariablePitch | FontDescription::Roman);
        QTest::newRow("plain") << Font("IPAPGothic", -48, 400, variableSwiss);
        QTest::newRow("fixed pitch face") << Font("IPAGothic", -20, 400, fixedModern);
        QTest::newRow("Japanese face name") << Font("IPA Pゴシック", -30, 400, variableSwiss);
        QTest::newRow("other face") << Font("DejaVu Serif", -16, 400, variableRoman);
        FontDescription styled = Font("IPAPGothic", -36, 700, variableSwiss);
        styled.italic = 1;
        styled.underline = 1;
        styled.strikeOut = 1;
        QTest::newRow("bold italic underlined struck out") << styled;
        FontDescription thin = Font("DejaVu Sans", -11, 100, variableSwiss);
        thin.quality = FontDescription::NonAntialiasedQuality;
        QTest::newRow("thin, not antialiased") << thin;
        FontDescription smooth = Font("DejaVu Sans", -60, 900, variableSwiss);
        smooth.quality = FontDescription::AntialiasedQuality;
        QTest::newRow("black, antialiased") << smooth;
    }
    void carriedFieldsSurvive() {
        QFETCH(FontDescription, description);
        const std::optional<QFont> font = CreateQFont(description);
        QVERIFY(font.has_value());
        const FontDescription base = ForeignBase();
        const std::optional<FontDescription> back = DescribeQFont(*font, base, 96);
        QVERIFY(back.has_value());
        FontDescription expected = description;
        expected.escapement = base.escapement;
        expected.orientation = base.orientation;
        expected.charSet = base.charSet;
        expected.outPrecision = base.outPrecision;
        expected.clipPrecision = base.clipPrecision;
        COMPARE_DESCRIPTIONS(*back, expected);
    }

    // The chooser ended with OK on an untouched font gives back the very
    // description it started from, also when it handled the size in points.
    void aFontLeftAloneKeepsItsDescription_data() {
        QTest::addColumn<FontDescription>("description");
        QTest::addColumn<bool>("inPoints");
        QTest::newRow("start font") << StartFont() << false;
        QTest::newRow("start font in points") << StartFont() << true;
        FontDescription cell = StartFont();
        cell.height = 50;
        QTest::newRow("cell height") << cell << false;
        QTest::newRow("cell height in points") << cell << true;
        FontDescription unsized = StartFont();
        unsized.height = 0;
        QTest::newRow("default size") << unsized << false;
        FontDescription wide = StartFont();
        wide.width = 30;
        QTest::newRow("width") << wide << false;
        FontDescription clear = StartFont();
        clear.quality = 5;
        QTest::newRow("quality the font cannot tell apart") << clear << false;
        FontDescription rotated = StartFont();
        rotated.escapement = 900;
        rotated.charSet = FontDescription::ShiftJisCharSet;
        rotated.outPrecision = 7;
        QTest::newRow("fields a font does not carry") << rotated << false;
        FontDescription flagged = StartFont();
        flagged.italic = 0xFF;
        flagged.weight = 1;
        QTest::newRow("any non-zero italic, lightest weight") << flagged << false;
    }
    void aFontLeftAloneKeepsItsDescription() {
        QFETCH(FontDescription, description);
        QFETCH(bool, inPoints);
        std::optional<QFont> font = CreateQFont(description);
        QVERIFY(font.has_value());
        if (inPoints) {
            font->setPointSizeF(CharacterHeight(*font, 96) * 72.0 / 96.0);
        }
        const std::optional<FontDescription> back = DescribeQFont(*font, description, 96);
        QVERIFY(back.has_value());
        COMPARE_DESCRIPTIONS(*back, description);
    }

    // From the start font, one change made to the font shows in the
    // description as that change only.
    void aChangeShowsInItsFieldOnly_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<std::function<void(QFont&)>>("change");
        QTest::addColumn<std::function<void(FontDescription&)>>("expect");
        using F = std::function<void(QFont&)>;
        using D = std::function<void(FontDescription&)>;
        QTest::newRow("bold") << 96 << F([](QFont& f) { f.setWeight(QFont::Bold); })
                              << D([](FontDescription& d) { d.weight = 700; });
        QTest::newRow("italic") << 96 << F([](QFont& f) { f.setItalic(true); })
                                << D([](FontDescription& d) { d.italic = 1; });
        QTest::newRow("underline") << 96 << F([](QFont& f) { f.setUnderline(true); })
                                   << D([](FontDescription& d) { d.underline = 1; });
        QTest::newRow("strike-out") << 96 << F([](QFont& f) { f.setStrikeOut(true); })
                                    << D([](FontDescription& d) { d.strikeOut = 1; });
        QTest::newRow("20 points at 96 dpi")
            << 96 << F([](QFont& f) { f.setPointSize(20); }) << D([](FontDescription& d) { d.height = -27; });
        QTest::newRow("20 points at 120 dpi") << 120 << F([](QFont& f) { f.setPointSize(20); })
                                              << D([](FontDescription& d) { d.height = -33; });
        QTest::newRow("9 points at 96 dpi")
            << 96 << F([](QFont& f) { f.setPointSize(9); }) << D([](FontDescription& d) { d.height = -12; });
        QTest::newRow("pixel size") << 96 << F([](QFont& f) { f.setPixelSize(61); })
                                    << D([](FontDescription& d) { d.height = -61; });
        QTest::newRow("fixed pitch face")
            << 96 << F([](QFont& f) { f.setFamily(QStringLiteral("IPAGothic")); })
            << D([](FontDescription& d) {
                   d.faceName = "IPAGothic";
                   d.pitchAndFamily = FontDescription::FixedPitch;
               });
        QTest::newRow("proportional face")
            << 96 << F([](QFont& f) { f.setFamily(QStringLiteral("DejaVu Serif")); })
            << D([](FontDescription& d) { d.faceName = "DejaVu Serif"; });
    }
    void aChangeShowsInItsFieldOnly() {
        QFETCH(int, dpi);
        QFETCH(std::function<void(QFont&)>, change);
        QFETCH(std::function<void(FontDescription&)>, expect);
        const FontDescription start = StartFont();
        QFont font = CreateQFont(start).value();
        change(font);
        FontDescription expected = start;
        expect(expected);
        const std::optional<FontDescription> back = DescribeQFont(font, start, dpi);
        QVERIFY(back.has_value());
        COMPARE_DESCRIPTIONS(*back, expected);
    }

    void cellHeightIsAscentPlusDescent_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("cell");
        QTest::newRow("default") << 0 << 16;
        QTest::newRow("16") << 16 << 16;
        QTest::newRow("33") << 33 << 33;
        QTest::newRow("61") << 61 << 61;
        QTest::newRow("120") << 120 << 120;
    }
    void cellHeightIsAscentPlusDescent() {
        QFETCH(int, height);
        QFETCH(int, cell);
        FontDescription d = StartFont();
        d.height = height;
        const QFontMetrics metrics(CreateQFont(d).value());
        QVERIFY2(std::abs(metrics.ascent() + metrics.descent() - cell) <= 1,
                 qPrintable(QString::number(metrics.ascent() + metrics.descent())));
    }

    void widthIsTheAverageCharacterWidth_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("narrow") << 12;
        QTest::newRow("wide") << 40;
        QTest::newRow("negative counts by its size") << -40;
    }
    void widthIsTheAverageCharacterWidth() {
        QFETCH(int, width);
        FontDescription d = StartFont();
        d.width = width;
        const std::optional<FontDescription> back = DescribeQFont(CreateQFont(d).value(), ForeignBase(), 96);
        QVERIFY(back.has_value());
        QVERIFY2(std::abs(back->width - std::abs(width)) <= 1, qPrintable(QString::number(back->width)));
    }

    void facesADescriptionCannotHold_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("held");
        QTest::newRow("31 bytes") << QString(31, QLatin1Char('a')) << true;
        QTest::newRow("32 bytes") << QString(32, QLatin1Char('a')) << false;
        QTest::newRow("15 double-byte characters") << QString(15, QChar(0x30B4)) << true;
        QTest::newRow("16 double-byte characters") << QString(16, QChar(0x30B4)) << false;
        QTest::newRow("character without a code page 932 form")
            << QString::fromUtf8("\xF0\xA0\xAE\xB7野家") << false;
        QTest::newRow("Hangul") << QString::fromUtf8("나눔고딕") << false;
    }
    void facesADescriptionCannotHold() {
        QFETCH(QString, family);
        QFETCH(bool, held);
        QFont font(family);
        font.setPixelSize(20);
        const std::optional<FontDescription> d = DescribeQFont(font, StartFont(), 96);
        QCOMPARE(d.has_value(), held);
        if (held) {
            QCOMPARE(ToQString(d->faceName), family);
        }
    }
};

QTEST_MAIN(QtFontTest)
#include "QtFontTest.moc"
