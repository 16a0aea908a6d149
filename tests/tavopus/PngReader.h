// Reads back the label PNGs the virtual printer writes through libpng's own
// decoder (its simplified reading interface, apart from the encoder's path).
#pragma once

#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

struct PngPicture {
    int width = 0;
    std::vector<std::uint8_t> grey; // one byte a pixel, row by row
    bool Black(int x, int y) const { return grey[static_cast<std::size_t>(y * width + x)] == 0; }
};

// The 384 x 64 picture, or nothing with the reason in `error`.
inline std::optional<PngPicture> ReadPng(const std::vector<std::uint8_t>& file, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        error = image.message;
        return std::nullopt;
    }
    image.format = PNG_FORMAT_GRAY;
    PngPicture picture{static_cast<int>(image.width), std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
    if (!png_image_finish_read(&image, nullptr, picture.grey.data(), 0, nullptr)) {
        error = image.message;
        return std::nullopt;
    }
    if (image.width != 384 || image.height != 64) {
        error = "not 384 x 64";
        return std::nullopt;
    }
    return picture;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
