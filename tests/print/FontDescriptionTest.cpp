// Which font descriptions a font can be made from.
#include "print/FontDescription.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

FontDescription StartFont() {
    FontDescription font;
    font.faceName = "MS UI Gothic";
    font.height = -48;
    font.charSet = FontDescription::DefaultCharSet;
    return font;
}

struct Case {
    const char* name;
    std::function<void(FontDescription&)> change;
    bool creatable;
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class Creatable : public testing::TestWithParam<Case> {};

TEST_P(Creatable, AsTheFieldsAllow) {
    FontDescription font = StartFont();
    GetParam().change(font);
    EXPECT_EQ(IsCreatable(font), GetParam().creatable);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Creatable,
    testing::Values(
        Case{"StartFont", [](FontDescription&) {}, true},
        Case{"EmptyFaceTakesTheDefault", [](FontDescription& f) { f.faceName.clear(); }, true},
        Case{"JapaneseFace", [](FontDescription& f) { f.faceName = Sjis("ＭＳ Ｐゴシック"); }, true},
        Case{"FaceOf31Bytes", [](FontDescription& f) { f.faceName = std::string(31, 'a'); }, true},
        Case{"FaceOf32BytesLeavesNoRoomForTheEnd",
             [](FontDescription& f) { f.faceName = std::string(32, 'a'); }, false},
        Case{"FaceEndingInHalfACharacter",
             [](FontDescription& f) { f.faceName = Sjis("ゴシック").substr(0, 7); }, false},
        Case{"FaceWithANulByte", [](FontDescription& f) { f.faceName = std::string("ab\0cd", 5); }, false},
        Case{"FaceWithAByteThatIsNoCharacter", [](FontDescription& f) { f.faceName = "a\xA0"; }, false},
        Case{"HalfWidthKatakanaFace", [](FontDescription& f) { f.faceName = "\xBA\xDE"; }, true},
        Case{"CellHeight", [](FontDescription& f) { f.height = 20; }, true},
        Case{"DefaultHeight", [](FontDescription& f) { f.height = 0; }, true},
        Case{"LargestHeight", [](FontDescription& f) { f.height = -4096; }, true},
        Case{"HeightTooLarge", [](FontDescription& f) { f.height = -4097; }, false},
        Case{"CellHeightTooLarge", [](FontDescription& f) { f.height = 4097; }, false},
        Case{"NegativeWidthCountsByItsSize", [](FontDescription& f) { f.width = -30; }, true},
        Case{"WidthTooLarge", [](FontDescription& f) { f.width = 4097; }, false},
        Case{"HeaviestWeight", [](FontDescription& f) { f.weight = 1000; }, true},
        Case{"WeightTooHeavy", [](FontDescription& f) { f.weight = 1001; }, false},
        Case{"NegativeWeight", [](FontDescription& f) { f.weight = -1; }, false},
        Case{"RotatedAndSlanted",
             [](FontDescription& f) {
                 f.escapement = 900;
                 f.orientation = 900;
                 f.italic = 1;
             },
             true}),
    named_cases::CaseName{});

} // namespace
