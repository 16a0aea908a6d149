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
        Cause{"AccessDenied", EACCES, "Q8.xj", "Q8.xj へのアクセスが拒否されました。"},
        Cause{"NotPermitted", EPERM, "Q8.xj", "Q8.xj へのアクセスが拒否されました。"},
        Cause{"Missing", ENOENT, "Q8.xj", "Q8.xj またはそのフォルダーが見つかりません。"},
        Cause{"ReadOnlyPlace", EROFS, "Q8.xj", "Q8.xj は書き込み禁止の場所にあるため変更できません。"},
        Cause{"Folder", EISDIR, "Q8.xj", "Q8.xj はフォルダーなので、ファイルとして使えません。"},
        Cause{"DiskFull", ENOSPC, "Q8.xj", "Q8.xj を書き込むためのディスクの空き領域が足りません。"},
        Cause{"TooLarge", EFBIG, "Q8.xj", "Q8.xj を書き込めません。ファイルが大きすぎます。"},
        Cause{"Busy", EBUSY, "Q8.xj", "Q8.xj は使用中です。"},
        Cause{"DoubleByteName", EACCES, "変換表.xj", "変換表.xj へのアクセスが拒否されました。"},
        Cause{"NameWithMarker", EBUSY, "%1.xj", "%1.xj は使用中です。"}),
    named_cases::CaseName());

TEST(FileErrorText, OtherCausesCarryTheSystemsWords) {
    for (const std::error_code error :
         {std::error_code(ECONNRESET, std::generic_category()), std::make_error_code(std::errc::bad_message),
          std::error_code(EACCES, std::iostream_category())}) {
        const std::string text = FileErrorText(error, "Q8.xj");
        EXPECT_EQ(text, Sjis("Q8.xj の操作中に予期しないエラーが発生しました。\r\n（") + error.message() +
                            Sjis("）"))
            << error.message();
    }
}

} // namespace
