// Reads back the label PNGs the virtual printer writes through Qt's decoder,
// which checks the file apart from our own encoder.
#pragma once

#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

struct PngPicture {
    QImage image;
    bool Black(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
};

// The 384 x 64 picture, or nothing with the reason in `error`.
inline std::optional<PngPicture> ReadPng(const std::vector<std::uint8_t>& file, std::string& error) {
    PngPicture picture{QImage::fromData(file.data(), static_cast<int>(file.size()), "PNG")};
    if (picture.image.size() == QSize(384, 64))
        return picture;
    error = "not a readable 384 x 64 PNG";
    return std::nullopt;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
