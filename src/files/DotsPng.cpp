#include "files/DotsPng.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>

namespace files {
namespace {

// libpng reports a failure by jumping back to where the encoding began; no
// object with a destructor lives between there and here.
void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The rows as a 1-bit greyscale picture: 1 is white, so a dot is a 0 bit.
std::vector<std::uint8_t> PackRows(std::span<const std::uint8_t> dots, int width, int height) {
    const auto rowBytes = static_cast<std::size_t>(width + 7) / 8;
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(height), 0xFF);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            if (dots[y * static_cast<std::size_t>(width) + x] != 0) {
                rows[y * rowBytes + x / 8] &= static_cast<std::uint8_t>(~(0x80U >> (x % 8)));
            }
        }
    }
    return rows;
}

// Encodes into `out`; false when libpng gave up (out of memory).
bool Encode(std::vector<std::uint8_t>& rows, std::vector<png_bytep>& rowPointers, int width, int height,
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
    png_set_write_fn(png, &out, Append, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 1,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const std::size_t rowBytes = rows.size() / rowPointers.size();
    for (std::size_t y = 0; y < rowPointers.size(); ++y) {
        rowPointers[y] = rows.data() + y * rowBytes;
    }
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodeDotsPng(std::span<const std::uint8_t> dots, int width, int height) {
    if (width <= 0 || height <= 0 ||
        dots.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {};
    }
    auto rows = PackRows(dots, width, height);
    std::vector<png_bytep> rowPointers(static_cast<std::size_t>(height));
    std::vector<std::uint8_t> out;
    out.reserve(1024);
    if (!Encode(rows, rowPointers, width, height, out)) {
        out.clear();
    }
    return out;
}

} // namespace files
