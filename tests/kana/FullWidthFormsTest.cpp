#include "kana/FullWidthForms.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Form {
    const char* name;
    char key;
    std::string_view bytes; // code page 932; empty: refused
    friend void PrintTo(const Form& row, std::ostream* os) { *os << row.name; }
};

class FullWidthForms : public testing::TestWithParam<Form> {};

TEST_P(FullWidthForms, KeyGivesItsCodePage932Form) {
    const auto& c = GetParam();
    const std::string_view form = FullWidthForm(c.key);
    EXPECT_EQ(form.empty() ? std::string() : Sjis(form), c.bytes);
}

// The bytes are the code page's own, written out so that a wrong row in the
// table (a look-alike from another block) shows.
constexpr Form kForms[] = {
    {"SpaceIsTheCapitalMarker", ' ', "\x81\x40"},
    {"Digit", '1', "\x82\x50"},
    {"LowerLetter", 's', "\x82\x93"},
    {"UpperLetter", 'S', "\x82\x72"},
    {"Hash", '#', "\x81\x94"},
    {"Ampersand", '&', "\x81\x95"},
    {"Backslash", '\\', "\x81\x5f"},
    {"Tilde", '~', "\x81\x60"},
    {"DoubleQuoteFromTheExtensionRows", '"', "\xfa\x57"},
    {"ApostropheFromTheExtensionRows", '\'', "\xfa\x56"},
    {"TabRefused", '\t', ""},
    {"DeleteRefused", '\x7f', ""},
    {"NulRefused", '\0', ""},
    {"HighByteRefused", '\x80', ""},
};

INSTANTIATE_TEST_SUITE_P(Keys, FullWidthForms, testing::ValuesIn(kForms), named_cases::CaseName());

// Each printable key has its own one double-byte character.
TEST(FullWidthFormsTable, EveryPrintableKeyHasADistinctDoubleByteForm) {
    std::set<std::string> seen;
    for (char key = ' '; key <= '~'; ++key) {
        const std::string bytes = Sjis(FullWidthForm(key));
        ASSERT_EQ(bytes.size(), 2u) << key;
        EXPECT_TRUE(cp932::IsLeadByte(static_cast<unsigned char>(bytes[0]))) << key;
        EXPECT_TRUE(seen.insert(bytes).second) << key;
    }
}

} // namespace
