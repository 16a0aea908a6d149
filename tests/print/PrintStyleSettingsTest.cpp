// The print font and colour kept between runs: what is written reads back the
// same, and a kept style that is incomplete or unusable is not taken.
#include "print/PrintStyleSettings.h"

#include "print/PrintStyle.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

FontChoice Sample() {
    FontChoice style{PrintStyle().Description(), QColor(0x12, 0x34, 0x56)};
    style.font.faceName = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"; // ＭＳ Ｐゴシック
    style.font.height = -30;
    style.font.width = 12;
    style.font.escapement = 900;
    style.font.orientation = 450;
    style.font.weight = 700;
    style.font.italic = 1;
    style.font.underline = 1;
    style.font.strikeOut = 1;
    style.font.charSet = 128;
    style.font.outPrecision = 3;
    style.font.clipPrecision = 2;
    style.font.quality = 4;
    style.font.pitchAndFamily = 0x31;
    return style;
}

using Spoil = std::function<void(QSettings&)>;

} // namespace

Q_DECLARE_METATYPE(Spoil)

class PrintStyleSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_settings.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<QSettings>(m_dir->filePath("kept.conf"), QSettings::IniFormat);
    }

    void nothingKeptGivesNothing() { QVERIFY(!LoadPrintStyle(*m_settings)); }

    void everyFieldReadsBack() {
        const FontChoice style = Sample();
        SavePrintStyle(*m_settings, style);
        m_settings->sync();
        const QSettings again(m_dir->filePath("kept.conf"), QSettings::IniFormat);
        const std::optional<FontChoice> read = LoadPrintStyle(again);
        QVERIFY(read);
        QVERIFY(read->font == style.font);
        QCOMPARE(read->colour, style.colour);
    }

    void spoiltStyleIsNotTaken_data() {
        QTest::addColumn<Spoil>("spoil");
        const auto set = [](const char* key, QVariant value) {
            return Spoil([key, value](QSettings& s) { s.setValue(QString::fromLatin1(key), value); });
        };
        QTest::newRow("field missing") << Spoil([](QSettings& s) { s.remove("print/font/weight"); });
        QTest::newRow("face missing") << Spoil([](QSettings& s) { s.remove("print/font/faceName"); });
        QTest::newRow("colour missing") << Spoil([](QSettings& s) { s.remove("print/colour"); });
        QTest::newRow("not a number") << set("print/font/height", "tall");
        QTest::newRow("byte field too large") << set("print/font/italic", 256);
        QTest::newRow("byte field negative") << set("print/font/charSet", -1);
        QTest::newRow("height past the largest") << set("print/font/height", -5000);
        QTest::newRow("weight past the largest") << set("print/font/weight", 1001);
        QTest::newRow("face too long") << set("print/font/faceName", QString(40, 'a'));
        QTest::newRow("face outside code page 932") << set("print/font/faceName", QString::fromUtf8("😀"));
        QTest::newRow("colour not a colour") << set("print/colour", "#12345");
    }
    void spoiltStyleIsNotTaken() {
        QFETCH(Spoil, spoil);
        SavePrintStyle(*m_settings, Sample());
        QVERIFY(LoadPrintStyle(*m_settings)); // whole, it is taken
        spoil(*m_settings);
        QVERIFY(!LoadPrintStyle(*m_settings));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
};

QTEST_MAIN(PrintStyleSettingsTest)
#include "PrintStyleSettingsTest.moc"
