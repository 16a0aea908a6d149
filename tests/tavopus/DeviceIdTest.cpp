// What the scan makes of a printer's IEEE 1284 device id.
#include "tavopus/DeviceId.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

struct IdCase {
    std::string name;
    std::string id;
    bool labelPrinter;
    std::string deviceName;
    friend void PrintTo(const IdCase& c, std::ostream* os) { *os << c.name; }
};

class DeviceIdTest : public testing::TestWithParam<IdCase> {};

TEST_P(DeviceIdTest, MakerDecidesAndNameIsMakerAndModel) {
    const auto& c = GetParam();
    const auto id = tavopus::ParseDeviceId(c.id);
    EXPECT_EQ(tavopus::IsLabelPrinter(id), c.labelPrinter);
    EXPECT_EQ(tavopus::DeviceName(id), c.deviceName);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, DeviceIdTest,
    testing::Values(
        IdCase{"ShortKeys", "MFG:ORBEK;MDL:MP-100;CMD:ESC;", true, "ORBEK MP-100"},
        IdCase{"LongKeys", "MANUFACTURER:ORBEK;MODEL:MP-100;", true, "ORBEK MP-100"},
        IdCase{"KeysInAnyCaseAndSpaces", " mfg : Orbek ; Mdl:MP 2 ;", true, "Orbek MP 2"},
        IdCase{"MakerAfterOtherFields", "CMD:ESCPL2;CLS:PRINTER;MDL:X;MFG:ORBEK;", true, "ORBEK X"},
        IdCase{"NoModel", "MFG:ORBEK;", true, "ORBEK"},
        IdCase{"NoTrailingSemicolon", "MFG:ORBEK;MDL:MP", true, "ORBEK MP"},
        IdCase{"TrailingNewline", "MFG:ORBEK;MDL:MP;\n", true, "ORBEK MP"},
        IdCase{"OfficePrinter", "MFG:Hewlett-Packard;MDL:LaserJet 4;", false, "Hewlett-Packard LaserJet 4"},
        IdCase{"MakerOnlyStartsAlike", "MFG:ORBEKSON;MDL:MP;", false, "ORBEKSON MP"},
        IdCase{"ModelNamesMakerOnly", "MFG:ACME;MDL:ORBEK;", false, "ACME ORBEK"},
        IdCase{"FirstMakerCounts", "MFG:ACME;MANUFACTURER:ORBEK;", false, "ACME"},
        IdCase{"Empty", "", false, ""}),
    named_cases::CaseName{});

} // namespace
