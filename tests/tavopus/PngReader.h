// Reads back the label PNGs the virtual printer writes, written apart from
// the encoder: it checks every checksum and knows only what a 1-bit greyscale
// picture in stored deflate blocks needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<bool> black; // row by row
    bool Black(int x, int y) const { return black[static_cast<std::size_t>(y * width + x)]; }
};

// The picture, or an empty result with the reason in `error`.
std::optional<PngPicture> ReadPng(const std::vector<std::uint8_t>& file, std::string& error);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
