// The two limits counted in code page 932 bytes, as the fields hold them:
// the katakana field's phrase and a table key. Every other unit measures
// text through these checks, so code page 932 is measured in one place.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

class FieldLimit {
public:
    enum class Verdict { Fits, TooLong, NoForm };

    constexpr explicit FieldLimit(std::size_t bytes)
        : m_bytes(bytes) {}

    constexpr std::size_t Bytes() const { return m_bytes; }

    // Whether `utf8` fits, or why not (a character code page 932 has no form for).
    Verdict Check(std::string_view utf8) const;

    // The longest prefix of `utf8`, ending at a character, that takes at most
    // `room` bytes; it stops before a character without a form.
    static std::size_t FittingPrefix(std::string_view utf8, std::size_t room);

    // The bytes `utf8` takes in a field; nothing when a character has no form.
    static std::optional<std::size_t> Measure(std::string_view utf8);

    // Whether every character of `utf8` has a form a field can hold.
    static bool Holds(std::string_view utf8) { return Measure(utf8).has_value(); }

private:
    std::size_t m_bytes;
};

// The katakana field holds 70 bytes (35 full-width characters); the
// command-line tool holds phrases and printed passwords to it too.
inline constexpr FieldLimit kPhraseLimit{70};
// A key is at most three full-width katakana: six bytes, so seven
// half-width characters are too many.
inline constexpr FieldLimit kKeyLimit{6};
