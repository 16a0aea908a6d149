// Conversions through glibc's iconv, which knows code page 932 as "CP932".
#include "platform/Cp932.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace cp932 {
namespace {

// One converter per direction and thread; iconv_open is not cheap.
class Converter {
public:
    Converter(const char* to, const char* from, bool utf8Input)
        : m_cd(iconv_open(to, from))
        , m_utf8Input(utf8Input) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
        }
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; on an invalid or unconvertible sequence calls onBad(out),
    // skips one input byte (or the whole UTF-8 character) and goes on, unless
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
            if (rc != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            if (!onBad(out)) {
                return false;
            }
            const std::size_t skip = SkipLength(static_cast<unsigned char>(*src), srcLeft);
            src += skip;
            srcLeft -= skip;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    std::size_t SkipLength(unsigned char first, std::size_t left) const {
        std::size_t n = 1;
        if (m_utf8Input) {
            if (first >= 0xF0) {
                n = 4;
            } else if (first >= 0xE0) {
                n = 3;
            } else if (first >= 0xC0) {
                n = 2;
            }
        }
        return n < left ? n : left;
    }

    iconv_t m_cd;
    bool m_utf8Input;
};

Converter& Encoder() {
    thread_local Converter c("CP932", "UTF-8", true);
    return c;
}

Converter& Decoder() {
    thread_local Converter c("UTF-8", "CP932", false);
    return c;
}

} // namespace

std::size_t FittingPrefix(std::string_view text, std::size_t maxBytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
        if (pos + width > maxBytes) {
            break;
        }
        pos += width;
    }
    return pos < text.size() ? pos : text.size();
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (!Encoder().Run(utf8, out, [](std::string&) { return false; })) {
        return std::nullopt;
    }
    return out;
}

std::string ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3 / 2);
    Decoder().Run(text, out, [](std::string& o) {
        o += "\xEF\xBF\xBD";
        return true;
    });
    return out;
}

std::string Text(std::string_view utf8Literal) {
    auto text = FromUtf8(utf8Literal);
    if (!text) {
        throw std::invalid_argument("literal has no code page 932 form");
    }
    return *std::move(text);
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(b)) {
            ++i;
        } else if (b >= 'a' && b <= 'z') {
            out[i] = static_cast<char>(b - 'a' + 'A');
        }
    }
    return out;
}

} // namespace cp932
