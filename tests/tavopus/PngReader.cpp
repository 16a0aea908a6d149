#include "PngReader.h"

#include <fstream>
#include <iterator>

namespace {

// Bit by bit, unlike the encoder's table.
std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = ~0u;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t Big(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

} // namespace

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<PngPicture> ReadPng(const std::vector<std::uint8_t>& file, std::string& error) {
    static const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin())) {
        error = "no PNG signature";
        return std::nullopt;
    }
    PngPicture picture;
    std::vector<std::uint8_t> zlib;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (at + 12 > file.size()) {
            error = "chunk runs past the end";
            return std::nullopt;
        }
        const auto length = Big(file, at);
        const std::string type(file.begin() + static_cast<long>(at) + 4,
                               file.begin() + static_cast<long>(at) + 8);
        if (at + 12 + length > file.size()) {
            error = "chunk runs past the end";
            return std::nullopt;
        }
        if (Crc(&file[at + 4], length + 4) != Big(file, at + 8 + length)) {
            error = "bad CRC in " + type;
            return std::nullopt;
        }
        const auto* data = &file[at + 8];
        if (type == "IHDR") {
            picture.width = static_cast<int>(Big(file, at + 8));
            picture.height = static_cast<int>(Big(file, at + 12));
            if (data[8] != 1 || data[9] != 0 || data[12] != 0) {
                error = "not 1-bit greyscale without interlace";
                return std::nullopt;
            }
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (zlib.size() < 2 || ((zlib[0] << 8) | zlib[1]) % 31 != 0 || (zlib[0] & 0x0F) != 8) {
        error = "bad zlib header";
        return std::nullopt;
    }
    std::vector<std::uint8_t> raw;
    for (std::size_t at = 2;;) {
        const auto header = zlib.at(at);
        if ((header & 0x06) != 0) {
            error = "compressed block; this reader takes stored blocks only";
            return std::nullopt;
        }
        const auto len = static_cast<std::size_t>(zlib.at(at + 1) | (zlib.at(at + 2) << 8));
        const auto nlen = static_cast<std::size_t>(zlib.at(at + 3) | (zlib.at(at + 4) << 8));
        if ((len ^ 0xFFFF) != nlen || at + 5 + len > zlib.size()) {
            error = "bad stored block";
            return std::nullopt;
        }
        raw.insert(raw.end(), zlib.begin() + static_cast<long>(at) + 5,
                   zlib.begin() + static_cast<long>(at + 5 + len));
        at += 5 + len;
        if (header & 1) {
            std::uint32_t a = 1, b = 0;
            for (auto x : raw) {
                a = (a + x) % 65521;
                b = (b + a) % 65521;
            }
            if (at + 4 > zlib.size() || Big(zlib, at) != ((b << 16) | a)) {
                error = "bad Adler-32";
                return std::nullopt;
            }
            break;
        }
    }
    const auto rowBytes = static_cast<std::size_t>((picture.width + 7) / 8);
    if (raw.size() != static_cast<std::size_t>(picture.height) * (rowBytes + 1)) {
        error = "wrong amount of picture data";
        return std::nullopt;
    }
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = &raw[static_cast<std::size_t>(y) * (rowBytes + 1)];
        if (row[0] != 0) {
            error = "row filter other than none";
            return std::nullopt;
        }
        for (int x = 0; x < picture.width; ++x)
            picture.black.push_back(((row[1 + x / 8] >> (7 - x % 8)) & 1) == 0);
    }
    return picture;
}
