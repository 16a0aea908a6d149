// Which font descriptions a font can be made from.
#include "print/FontDescription.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* name;
    std::string face;
    int height, width, weight;
    bool creatable;
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class Creatable : public testing::TestWithParam<Case> {};

TEST_P(Creatable, AsTheFieldsAllow) {
    const Case& c = GetParam();
    FontDescription font;
    font.faceName = c.face;
    font.height = c.height;
    font.width = c.width;
    font.weight = c.weight;
    EXPECT_EQ(IsCreatable(font), c.creatable);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Creatable,
    testing::Values(Case{"StartFont", "MS UI Gothic", -48, 0, 0, true},
                    Case{"EmptyFaceAndLargestValues", "", -4096, 4096, 1000, true},
                    Case{"JapaneseFace", Sjis("ＭＳ Ｐゴシック"), 20, -30, 400, true},
                    Case{"HalfWidthKatakanaFace", "\xBA\xDE", -48, 0, 0, true},
                    Case{"FaceOf31Bytes", std::string(31, 'a'), -48, 0, 0, true},
                    Case{"FaceOf32BytesLeavesNoRoomForTheEnd", std::string(32, 'a'), -48, 0, 0, false},
                    Case{"FaceEndingInHalfACharacter", Sjis("ゴシック").substr(0, 7), -48, 0, 0, false},
                    Case{"FaceWithANulByte", std::string("ab\0cd", 5), -48, 0, 0, false},
                    Case{"FaceWithAByteThatIsNoCharacter", "a\xA0", -48, 0, 0, false},
                    Case{"HeightTooLarge", "", -4097, 0, 0, false},
                    Case{"CellHeightTooLarge", "", 4097, 0, 0, false},
                    Case{"WidthTooLarge", "", 0, -4097, 0, false},
                    Case{"WeightTooHeavy", "", 0, 0, 1001, false},
                    Case{"NegativeWeight", "", 0, 0, -1, false}),
    named_cases::CaseName{});

} // namespace
