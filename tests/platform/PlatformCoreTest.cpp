// The Qt-free platform services: code page 932 text, the C library's
// generator, the words for file errors and a user's text in a message.
#include "files/FileError.h"
#include "platform/Cp932.h"
#include "platform/CrtRandom.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <random>
#include <set>

namespace {

TEST(Cp932, EncodesAndDecodes) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"アカサ", "\x83\x41\x83\x4A\x83\x54"},
        {"ｱｶｻ", "\xB1\xB6\xBB"},
        {"「」（）　", "\x81\x75\x81\x76\x81\x69\x81\x6A\x81\x40"},
        {"aア ｱ!", "a\x83\x41 \xB1!"},
    };
    for (const auto& [utf8, bytes] : rows) {
        EXPECT_EQ(cp932::FromUtf8(utf8).value_or("refused"), bytes);
        EXPECT_EQ(cp932::ToUtf8(bytes), utf8);
    }
    for (const std::string_view text : {"€", "サ€", "한국", "😀", "ア\xCC\x81"}) {
        EXPECT_FALSE(cp932::FromUtf8(text).has_value()) << text;
    }
    // Damaged bytes, also a lead byte with nothing after it, show as U+FFFD.
    EXPECT_EQ(cp932::ToUtf8("a\x80z\x83\x41\x83"), "a\uFFFDzア\uFFFD");
    // 0x83 0x61 is a double-byte character whose second byte looks like 'a'.
    EXPECT_EQ(cp932::ToUpper("az09*\x83\x61x"), "AZ09*\x83\x61X");
}

TEST(Cp932, FittingPrefixNeverSplitsADoubleByteCharacter) {
    const std::tuple<const char*, std::size_t, std::size_t> rows[] = {
        {"アイウ", 4, 4}, {"アイウ", 5, 4}, {"aア", 2, 1}, {"ｱｲｳ", 2, 2}, {"　a", 1, 0}};
    for (const auto& [text, max, prefix] : rows) {
        EXPECT_EQ(cp932::FittingPrefix(cp932::Text(text), max), prefix) << text << max;
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
    EXPECT_NE(general.find(cp932::Text("（") + other.message() + cp932::Text("）")), std::string::npos);
    std::set<std::string> sentences;
    for (const int code : {ENOENT, ENOTDIR, EACCES, EPERM, EROFS, EISDIR, ENOTEMPTY, ENOSPC, EDQUOT, EFBIG,
                           EBUSY, ENAMETOOLONG, EMFILE, EIO}) {
        const std::error_code error(code, std::generic_category());
        const std::string text = FileErrorText(error, name);
        SCOPED_TRACE(cp932::ToUtf8(text));
        EXPECT_EQ(text.rfind(name + " ", 0), 0u);
        EXPECT_EQ(text.find(error.message()), std::string::npos);
        EXPECT_EQ(FileErrorText(std::error_code(code, std::system_category()), name), text);
        EXPECT_NE(FileErrorReason(error), error.message());
        sentences.insert(text);
    }
    EXPECT_EQ(sentences.size(), 11u); // EPERM, ENOTEMPTY and EDQUOT read as EACCES, EISDIR and ENOSPC
    EXPECT_EQ(FileErrorReason(other), other.message());
    const std::error_code layer = files::FileError::TooLarge;
    EXPECT_EQ(FileErrorText(layer, name), name + cp932::Text(": " + layer.message() + "。"));
}

// The code points of `utf8`, read by the C library; nothing when it is not UTF-8.
std::optional<std::u32string> CodePoints(std::string utf8) {
    const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    std::u32string out(utf8.size(), U'\0');
    char* in = utf8.data();
    auto* to = reinterpret_cast<char*>(out.data());
    std::size_t inLeft = utf8.size();
    std::size_t outLeft = out.size() * sizeof(char32_t);
    const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft / sizeof(char32_t));
    return out;
}

struct Row {
    const char* name;
    std::string_view text;
    std::size_t maxChars;
    std::string_view shown;
};

constexpr Row kRows[] = {
    {"PlainTextStays", "サクラ a\\b", 40, "サクラ a\\b"},
    {"CutAfterTheLastWholeCharacter", "アイウエ", 3, "アイウ…"},
    {"ExactlyMaxCharsIsNotCut", "アイウ", 3, "アイウ"},
    {"CutInsideAMultiByteCharacter", "ア\xE3\x82", 40, "ア\\xe3\\x82"},
    {"NewlineTabAndReturn", "a\nb\tc\r", 40, "a\\nb\\tc\\r"},
    {"EscapeSequence", "\x1b[31mred", 40, "\\x1b[31mred"},
    {"NulAndDelete", std::string_view("a\0\x7F", 3), 40, "a\\x00\\x7f"},
    {"C1ControlAndLineSeparator", "\xC2\x85\xE2\x80\xA8", 40, "\\u0085\\u2028"},
    {"DirectionMarks", "a\u200Eb\u200F", 40, "a\\u200eb\\u200f"},
    {"DirectionOverride",
     "a\xE2\x80\xAE"
     "b",
     40, "a\\u202eb"},
    {"NotUtf8", "\xFF\xC0\xAF\xED\xA0\x80", 40, "\\xff\\xc0\\xaf\\xed\\xa0\\x80"},
    {"AnEscapeCountsAsOneCharacter", "\n\n\n", 2, "\\n\\n…"},
};

TEST(UserText, EscapesAndCuts) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ShownUserText(row.text, row.maxChars), row.shown);
    }
    EXPECT_EQ(QuotedUserText("a\nb"), "「a\\nb」");
}

TEST(UserText, AnyBytesGiveOneLineOfValidUtf8) {
    std::mt19937 rng(19);
    for (int run = 0; run < 2000; ++run) {
        std::string bytes(rng() % 24, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(rng());
        }
        SCOPED_TRACE(testing::PrintToString(bytes));
        const auto shown = CodePoints(ShownUserText(bytes, 10));
        ASSERT_TRUE(shown.has_value());
        for (const char32_t c : *shown) {
            EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029)
                << static_cast<unsigned>(c);
        }
    }
}

} // namespace
