#include "print/FontDescription.h"

#include "platform/Cp932.h"

namespace {

// Valid code page 932 never decodes to the replacement character, which it cannot hold.
bool IsWholeCp932(const std::string& text) {
    return text.find('\0') == std::string::npos &&
           cp932::ToUtf8(text).find("\xEF\xBF\xBD") == std::string::npos;
}

bool InRange(std::int32_t value, std::int32_t limit) {
    return value >= -limit && value <= limit;
}

} // namespace

bool IsCreatable(const FontDescription& font) {
    return font.faceName.size() < FontDescription::kFaceSize && IsWholeCp932(font.faceName) &&
           InRange(font.height, FontDescription::kMaxPixels) &&
           InRange(font.width, FontDescription::kMaxPixels) && font.weight >= 0 &&
           font.weight <= FontDescription::kMaxWeight;
}
