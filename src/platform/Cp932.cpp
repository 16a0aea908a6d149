// Conversions through glibc's iconv, which knows code page 932 as "CP932".
#include "platform/Cp932.h"
#include "platform/Cp932Codec.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace cp932 {
namespace {

// One converter per direction and thread; iconv_open is not cheap.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
        }
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; on an invalid or unconvertible sequence calls
    // onBad(out, byte) with its first byte, skips that byte and goes on, unless
    // onBad returns false, in which case the conversion stops with false.
    template <typename OnBad> bool Run(std::string_view in, std::string& out, OnBad onBad) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) {
                continue;
            }
            if (!onBad(out, static_cast<unsigned char>(*src))) {
                return false;
            }
            ++src;
            --srcLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& Encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter& Decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

// Code page 932 and UTF-8 agree on the ASCII bytes, which most keys and
// values are made of: they need no converter.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The UTF-8 form of a kept byte: F4 8F BC..BF xx.
constexpr std::string_view kKeptPrefix = "\xF4\x8F";

bool KeptByteAt(std::string_view utf8, std::size_t pos, unsigned char& byte) {
    char32_t code = 0;
    if (utf8.substr(pos, 2) != kKeptPrefix || utf8::DecodeOne(utf8.substr(pos), code) != 4 ||
        code < utf8::kKeptByte) {
        return false;
    }
    byte = static_cast<unsigned char>(code - utf8::kKeptByte);
    return true;
}

std::string KeptByte(unsigned char byte) {
    std::string out;
    utf8::Append(out, utf8::kKeptByte + byte);
    return out;
}

} // namespace

std::optional<std::string> Encode(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t start = 0;
    for (std::size_t pos = utf8.find(kKeptPrefix);; pos = utf8.find(kKeptPrefix, pos + 1)) {
        unsigned char byte = 0;
        if (pos != std::string_view::npos && !KeptByteAt(utf8, pos, byte)) {
            continue;
        }
        const std::string_view run = utf8.substr(start, pos - start);
        if (!Encoder().Run(run, out, [](std::string&, unsigned char) { return false; })) {
            return std::nullopt;
        }
        if (pos == std::string_view::npos) {
            return out;
        }
        out += static_cast<char>(byte);
        start = pos + 4;
    }
}

namespace {

// The one character `bytes` are, when it is saved as the same bytes again.
std::optional<std::string> RoundTrip(std::string_view bytes) {
    std::string out;
    char32_t code = 0;
    if (!Decoder().Run(bytes, out, [](std::string&, unsigned char) { return false; }) || out.empty() ||
        utf8::DecodeOne(out, code) != out.size() || Encode(out) != bytes) {
        return std::nullopt;
    }
    return out;
}

} // namespace

std::string Decode(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    std::string whole;
    whole.reserve(bytes.size() * 3 / 2);
    Decoder().Run(bytes, whole, [](std::string& o, unsigned char byte) {
        o += KeptByte(byte);
        return true;
    });
    if (Encode(whole) == bytes) {
        return whole;
    }
    // One of a pair of duplicate codes would be saved as the other: character
    // by character, what does not come back as the same bytes is kept as bytes.
    std::string out;
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t n = 1;
        std::optional<std::string> one = RoundTrip(bytes.substr(pos, 1));
        if (!one && pos + 1 < bytes.size()) {
            n = 2;
            one = RoundTrip(bytes.substr(pos, 2));
        }
        if (one) {
            out += *one;
            pos += n;
        } else {
            out += KeptByte(static_cast<unsigned char>(bytes[pos]));
            ++pos;
        }
    }
    return out;
}

std::optional<std::size_t> Length(std::string_view utf8) {
    const auto bytes = Encode(utf8);
    return bytes ? std::optional<std::size_t>(bytes->size()) : std::nullopt;
}

std::size_t FittingPrefix(std::string_view utf8, std::size_t maxBytes) {
    std::size_t pos = 0;
    std::size_t bytes = 0;
    while (pos < utf8.size()) {
        char32_t code = 0;
        const std::size_t width = utf8::DecodeOne(utf8.substr(pos), code);
        const auto length = width == 0 ? std::nullopt : Length(utf8.substr(pos, width));
        if (!length || bytes + *length > maxBytes) {
            break;
        }
        bytes += *length;
        pos += width;
    }
    return pos;
}

} // namespace cp932
