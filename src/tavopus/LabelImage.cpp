#include "tavopus/LabelImage.h"

#include <array>
#include <string_view>

namespace tavopus {
namespace {

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const auto b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
    std::uint32_t a = 1, b = 0;
    for (const auto x : bytes) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const auto start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(std::span(out).subspan(start)));
}

} // namespace

LabelDots UnpackStrips(std::span<const std::uint8_t, 3 * kStripBytes> strips) {
    LabelDots dots(kLabelWidth * kLabelHeight);
    for (int x = 0; x < kLabelWidth; ++x) {
        const auto strip =
            strips.subspan(static_cast<std::size_t>(x / kStripColumns) * kStripBytes, kStripBytes);
        const int c = x % kStripColumns;
        for (int r = 0; r < kLabelHeight; ++r) {
            const auto byte = strip[static_cast<std::size_t>(8 * c + r / 8)];
            dots[static_cast<std::size_t>(r * kLabelWidth + x)] =
                static_cast<std::uint8_t>((byte >> (r % 8)) & 1);
        }
    }
    return dots;
}

std::vector<std::uint8_t> EncodePng(const LabelDots& dots) {
    // Filter byte 0 before each row; in greyscale 1 is white, so a dot is a 0 bit.
    constexpr int rowBytes = kLabelWidth / 8;
    std::vector<std::uint8_t> raw;
    raw.reserve(kLabelHeight * (rowBytes + 1));
    for (int y = 0; y < kLabelHeight; ++y) {
        raw.push_back(0);
        for (int bx = 0; bx < rowBytes; ++bx) {
            std::uint8_t packed = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const bool dot = dots[static_cast<std::size_t>(y * kLabelWidth + bx * 8 + bit)] != 0;
                if (!dot)
                    packed = static_cast<std::uint8_t>(packed | (0x80 >> bit));
            }
            raw.push_back(packed);
        }
    }

    // One stored deflate block is enough for 3136 bytes and needs no compressor.
    std::vector<std::uint8_t> zlib{0x78, 0x01, 0x01};
    const auto length = static_cast<std::uint16_t>(raw.size());
    const auto inverse = static_cast<std::uint16_t>(~length);
    zlib.insert(zlib.end(), {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                             static_cast<std::uint8_t>(inverse), static_cast<std::uint8_t>(inverse >> 8)});
    zlib.insert(zlib.end(), raw.begin(), raw.end());
    PutBigEndian(zlib, Adler32(raw));

    std::vector<std::uint8_t> header;
    PutBigEndian(header, kLabelWidth);
    PutBigEndian(header, kLabelHeight);
    header.insert(header.end(), {1, 0, 0, 0, 0}); // depth 1, greyscale, deflate, no filter, no interlace

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace tavopus
