// The Qt-free platform services: code page 932 measures, the C library's
// generator, the words for file errors and a user's text in a message.
#include "files/FileError.h"
#include "platform/Cp932.h"
#include "platform/Cp932Codec.h"
#include "platform/CrtRandom.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <set>

namespace {

TEST(Cp932, EncodesDecodesMeasuresAndCuts) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"「」（）　", "\x81\x75\x81\x76\x81\x69\x81\x6A\x81\x40"},
        {"aア ｱ!", "a\x83\x41 \xB1!"},
        // Damaged bytes, a lead byte with nothing after it, and the second of
        // a duplicate code (saved as the first) are kept as bytes.
        {"a\U0010FF80zア\U0010FF83", "a\x80z\x83\x41\x83"},
        {"≒\U0010FF87\U0010FF90", "\x81\xE0\x87\x90"},
    };
    for (const auto& [utf8, bytes] : rows) {
        EXPECT_EQ(cp932::Encode(utf8).value_or("refused"), bytes);
        EXPECT_EQ(cp932::Decode(bytes), utf8);
        EXPECT_EQ(cp932::Length(utf8), bytes.size());
    }
    for (const std::string_view text : {"€", "サ€", "한국", "😀", "ア\xCC\x81", "\xE3\x82"}) {
        EXPECT_FALSE(cp932::Encode(text).has_value()) << text;
        EXPECT_FALSE(cp932::Length(text).has_value()) << text;
    }
    // A cut ends at a character, counts code page 932 bytes and stops at one it cannot hold.
    for (const auto& [text, max, prefix] : {std::tuple{"アイ", 4u, 6u},
                                            {"アイウ", 5u, 6u},
                                            {"aア", 2u, 1u},
                                            {"　a", 1u, 0u},
                                            {"ｱｲｳ", 2u, 6u},
                                            {"a€b", 3u, 1u}}) {
        EXPECT_EQ(cp932::FittingPrefix(text, max), prefix) << text << max;
    }
}

// Every code point goes through UTF-8 and back; what is not one character is refused.
TEST(Utf8, AppendAndDecodeAreInverse) {
    for (const char32_t code :
         {U'\0', U'a', U'\x7F', U'\x80', U'\x7FF', U'\x800', U'ア', U'\xFFFF', U'\x10000', U'\x10FFFF'}) {
        std::string bytes;
        utf8::Append(bytes, code);
        char32_t back = 0;
        EXPECT_EQ(utf8::DecodeOne(bytes + "z", back), bytes.size());
        EXPECT_EQ(back, code);
    }
    char32_t ignored = 0;
    for (const std::string_view bad :
         {"\x80", "\xC0\xAF", "\xE3\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8"}) {
        EXPECT_EQ(utf8::DecodeOne(bad, ignored), 0u) << testing::PrintToString(bad);
    }
}

TEST(CrtRandom, MatchesTheCLibrarySequence) {
    CrtRandom random;
    EXPECT_EQ(random.rand(), 41); // unseeded starts as seed 1
    random.srand(1);
    for (const int expected : {41, 18467, 6334, 26500, 19169}) {
        EXPECT_EQ(random.rand(), expected); // also pins the wrap at 2^32 and the 15-bit mask
    }
}

// Each common cause has its own sentence naming the file in front, apart
// from causes the user cannot tell apart; any other cause carries the
// system's words, and the file layer's own causes their reason.
TEST(FileErrorText, NamesTheFileAndTheCause) {
    const std::string name = "%1.xj";
    const std::error_code other(EACCES, std::iostream_category());
    const std::string general = FileErrorText(other, name);
    EXPECT_EQ(general.rfind(name, 0), 0u);
    EXPECT_NE(general.find(std::string("（") + other.message() + std::string("）")), std::string::npos);
    std::set<std::string> sentences;
    for (const int code :
         {ENOENT,       ENOTDIR, EACCES, EPERM,  EROFS, EISDIR, ENOTEMPTY, ENOSPC, EDQUOT, EFBIG, EBUSY,
          ENAMETOOLONG, EMFILE,  EIO,    ENFILE, ELOOP, ENXIO,  ENODEV,    EBADF,  EINVAL, EPIPE}) {
        const std::error_code error(code, std::generic_category());
        const std::string text = FileErrorText(error, name);
        SCOPED_TRACE(text);
        EXPECT_EQ(text.rfind(name + " ", 0), 0u);
        EXPECT_EQ(text.find(error.message()), std::string::npos);
        EXPECT_EQ(FileErrorText(std::error_code(code, std::system_category()), name), text);
        EXPECT_NE(FileErrorReason(error), error.message());
        sentences.insert(text);
    }
    // EPERM, ENOTEMPTY, EDQUOT, ENFILE and ENODEV read as EACCES, EISDIR, ENOSPC, EMFILE and ENXIO.
    EXPECT_EQ(sentences.size(), 16u);
    EXPECT_EQ(FileErrorReason(other), other.message());
    const std::error_code layer = files::FileError::TooLarge;
    EXPECT_EQ(FileErrorText(layer, name), name + std::string(": " + layer.message() + "。"));
}

// Escapes keep a message one line, show no direction change, and a cut never
// splits a character.
TEST(UserText, EscapesAndCuts) {
    const std::tuple<std::string_view, std::size_t, std::string_view> rows[] = {
        {"サクラ a\\b", 40, "サクラ a\\b"},
        {"アイウエ", 3, "アイウ…"},
        {"アイウ", 3, "アイウ"},
        {"\n\n\n", 2, "\\n\\n…"},
        {std::string_view("\n\t\r\x1b\0\x7F\xC2\x85\u2028\u200E\u202E\xFF\xE3\x82", 20), 40,
         "\\n\\t\\r\\x1b\\x00\\x7f\\u0085\\u2028\\u200e\\u202e\\xff\\xe3\\x82"},
        // The edges of the ranges escaped, then their neighbours, shown as they are.
        {"\x1f\u009f\u2029\u200f\u202a\u2066\u2069", 40, "\\x1f\\u009f\\u2029\\u200f\\u202a\\u2066\\u2069"},
        {" ~\u00a0\u2027\u202f\u2065\u206a", 40, " ~\u00a0\u2027\u202f\u2065\u206a"},
    };
    for (const auto& [text, maxChars, shown] : rows) {
        EXPECT_EQ(ShownUserText(text, maxChars), shown) << text;
    }
    EXPECT_EQ(QuotedUserText("a\nb"), "「a\\nb」");
}

} // namespace
