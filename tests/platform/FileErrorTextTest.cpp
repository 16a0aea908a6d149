#include "platform/FileErrorText.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct Cause {
    const char* name;
    int code;
    std::string_view fileName; // UTF-8
    std::string_view text;     // UTF-8
    friend void PrintTo(const Cause& row, std::ostream* os) { *os << row.name; }
};

class FileErrorWords : public testing::TestWithParam<Cause> {};

TEST_P(FileErrorWords, NameTheFileAndTheCause) {
    const auto& c = GetParam();
    EXPECT_EQ(FileErrorText(std::error_code(c.code, std::generic_category()), Sjis(c.fileName)),
              Sjis(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    CommonCauses, FileErrorWords,
    testing::Values(
        Cause{"AccessDenied", EACCES, "変換表.xj", "変換表.xj へのアクセスが拒否されました。"},
        Cause{"NotPermitted", EPERM, "Q8.xj", "Q8.xj へのアクセスが拒否されました。"},
        Cause{"Missing", ENOENT, "Q8.xj", "Q8.xj またはそのフォルダーが見つかりません。"},
        Cause{"ReadOnlyPlace", EROFS, "Q8.xj", "Q8.xj は書き込み禁止の場所にあるため変更できません。"},
        Cause{"Folder", EISDIR, "Q8.xj", "Q8.xj はフォルダーなので、ファイルとして使えません。"},
        Cause{"DiskFull", ENOSPC, "Q8.xj", "Q8.xj を書き込むためのディスクの空き領域が足りません。"},
        Cause{"TooLarge", EFBIG, "Q8.xj", "Q8.xj を書き込めません。ファイルが大きすぎます。"},
        Cause{"BusyNameWithMarker", EBUSY, "%1.xj", "%1.xj は使用中です。"}),
    named_cases::CaseName());

// An access error of another category is not a file's access error.
TEST(FileErrorText, OtherCausesCarryTheSystemsWords) {
    const std::error_code error(EACCES, std::iostream_category());
    EXPECT_EQ(FileErrorText(error, "Q8.xj"),
              Sjis("Q8.xj の操作中に予期しないエラーが発生しました。\r\n（") + error.message() + Sjis("）"));
}

} // namespace
