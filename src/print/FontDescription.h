// A font as earlier versions of the program kept it in their settings, field
// by field; read only to take over what such a version saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct FontDescription {
    // Code page 932 bytes the face name may use, its terminator included.
    static constexpr std::size_t kFaceSize = 32;
    // Largest character or cell height, and average width, a font may ask for.
    static constexpr std::int32_t kMaxPixels = 4096;
    static constexpr std::int32_t kMaxWeight = 1000;

    static constexpr std::int32_t DontCare = 0;

    static constexpr std::uint8_t DefaultQuality = 0;
    static constexpr std::uint8_t NonAntialiasedQuality = 3;
    static constexpr std::uint8_t AntialiasedQuality = 4;

    // Low two bits of pitchAndFamily.
    static constexpr std::uint8_t FixedPitch = 1;
    static constexpr std::uint8_t PitchMask = 0x03;
    // High four bits of pitchAndFamily.
    static constexpr std::uint8_t Roman = 0x10;
    static constexpr std::uint8_t Swiss = 0x20;
    static constexpr std::uint8_t Modern = 0x30;
    static constexpr std::uint8_t Script = 0x40;
    static constexpr std::uint8_t Decorative = 0x50;
    static constexpr std::uint8_t FamilyMask = 0xF0;

    // Negative: character height in pixels; positive: cell height; 0: a default size.
    std::int32_t height = 0;
    // Average character width in pixels (its magnitude); 0 keeps the face's own proportions.
    std::int32_t width = 0;
    // Tenths of a degree.
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = DontCare;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = DefaultQuality;
    std::uint8_t pitchAndFamily = 0;
    // Code page 932.
    std::string faceName;

    bool operator==(const FontDescription&) const = default;
};

// Whether a font can be made from `font`: a face name that fits with its
// terminator in code page 932 (see FitsFaceName), sizes and weight in range.
bool IsCreatable(const FontDescription& font);

// Whether a face name (UTF-8) fits kFaceSize in code page 932, without a NUL.
bool FitsFaceName(std::string_view face);
