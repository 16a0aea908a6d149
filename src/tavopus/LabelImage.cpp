#include "tavopus/LabelImage.h"

#include <png.h>

#include <csetjmp>

namespace tavopus {
namespace {

// libpng reports a failure by jumping back to where the encoding began; no
// object with a destructor lives between there and here.
void AppendToFile(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The rows as a 1-bit greyscale picture: 1 is white, so a dot is a 0 bit.
std::vector<std::uint8_t> PackRows(const LabelDots& dots) {
    constexpr int rowBytes = kLabelWidth / 8;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes * kLabelHeight), 0xFF);
    for (int y = 0; y < kLabelHeight; ++y)
        for (int x = 0; x < kLabelWidth; ++x)
            if (dots[static_cast<std::size_t>(y * kLabelWidth + x)] != 0)
                rows[static_cast<std::size_t>(y * rowBytes + x / 8)] &=
                    static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    return rows;
}

// Encodes into `out`; false when libpng gave up (out of memory).
bool Encode(std::vector<std::uint8_t>& rows, std::vector<png_bytep>& rowPointers,
            std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToFile, NoFlush);
    png_set_IHDR(png, info, kLabelWidth, kLabelHeight, 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < kLabelHeight; ++y)
        rowPointers[static_cast<std::size_t>(y)] = rows.data() + y * (kLabelWidth / 8);
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

LabelDots UnpackStrips(std::span<const std::uint8_t, kStripCount * kStripBytes> strips) {
    LabelDots dots(kLabelWidth * kLabelHeight);
    for (int x = 0; x < kLabelWidth; ++x) {
        const auto strip =
            strips.subspan(static_cast<std::size_t>(x / kStripWidth) * kStripBytes, kStripBytes);
        const int c = x % kStripWidth;
        for (int r = 0; r < kLabelHeight; ++r) {
            const auto byte = strip[static_cast<std::size_t>(8 * c + r / 8)];
            dots[static_cast<std::size_t>(r * kLabelWidth + x)] =
                static_cast<std::uint8_t>((byte >> (r % 8)) & 1);
        }
    }
    return dots;
}

std::vector<std::uint8_t> EncodePng(const LabelDots& dots) {
    auto rows = PackRows(dots);
    std::vector<png_bytep> rowPointers(kLabelHeight);
    std::vector<std::uint8_t> out;
    out.reserve(1024);
    if (!Encode(rows, rowPointers, out))
        out.clear();
    return out;
}

} // namespace tavopus
