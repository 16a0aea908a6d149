// Font descriptions to QFont and back.
#include "print/QtFont.h"

#include "support/GuiTestHelpers.h"

#include <QtTest>

#include <optional>

class QtFontTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    // Against a base no font can be made from, every field a QFont carries is
    // read from the font and the others come from the base.
    void roundTrip() {
        FontDescription styled;
        styled.faceName = "IPAGothic";
        styled.height = -20;
        styled.weight = 700;
        styled.italic = styled.strikeOut = 1;
        styled.quality = FontDescription::NonAntialiasedQuality;
        styled.pitchAndFamily = FontDescription::FixedPitch | FontDescription::Modern;
        FontDescription base;
        base.weight = FontDescription::kMaxWeight + 1;
        base.escapement = base.orientation = 450;
        base.charSet = FontDescription::ShiftJisCharSet;
        base.outPrecision = 3;
        base.clipPrecision = 2;
        const std::optional<FontDescription> back = DescribeQFont(CreateQFont(styled).value(), base, 96);
        FontDescription expected = styled;
        expected.escapement = expected.orientation = 450;
        expected.charSet = base.charSet;
        expected.outPrecision = base.outPrecision;
        expected.clipPrecision = base.clipPrecision;
        QVERIFY(back == expected);
    }
};

QTEST_MAIN(QtFontTest)
#include "QtFontTest.moc"
