// Which style of a new face the font chooser takes.
#include "print/FontStyleChoice.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    std::vector<std::string> styles;
    std::string current;
    std::string expected;
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class FaceStyle : public testing::TestWithParam<Case> {};

TEST_P(FaceStyle, KeepsTheStyleOrTakesTheRegularOne) {
    const Case& c = GetParam();
    EXPECT_EQ(ChooseFaceStyle(c.styles, c.current), c.expected);
}

const std::vector<std::string> kSerif{"Bold",
                                      "Bold Italic",
                                      "Book",
                                      "Condensed",
                                      "Condensed Bold",
                                      "Condensed Bold Italic",
                                      "Condensed Italic",
                                      "Italic"};
const std::vector<std::string> kSans{"Bold", "Bold Oblique", "Book", "Condensed", "ExtraLight", "Oblique"};

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceStyle,
    testing::Values(Case{"SameStyleKept", kSerif, "Condensed Italic", "Condensed Italic"},
                    Case{"ObliqueForItalic", kSans, "Italic", "Oblique"},
                    Case{"ItalicForOblique", kSerif, "Bold Oblique", "Bold Italic"},
                    Case{"SlantMatchIgnoresCase", kSans, "bold italic", "Bold Oblique"},
                    Case{"MissingStyleTakesBookNotTheFirstName", kSans, "Condensed Italic", "Book"},
                    Case{"RegularBeforeMedium", {"Black", "Medium", "Regular", "Thin"}, "Light", "Regular"},
                    Case{"MediumWhenThereIsNoRegular", {"Black", "Medium", "Thin"}, "Light", "Medium"},
                    Case{"RegularNameInAnotherCase", {"Bold", "REGULAR"}, "Light", "REGULAR"},
                    Case{"NoUsualNameTakesTheShortest", {"Bold Condensed", "Bold"}, "Light", "Bold"},
                    Case{"OneStyleOnly", {"W3"}, "Bold", "W3"}, Case{"NoStyleLeftEmpty", {}, "Bold", ""},
                    Case{"EmptyCurrentTakesRegular", kSerif, "", "Book"}),
    named_cases::CaseName());

} // namespace
