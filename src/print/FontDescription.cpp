#include "print/FontDescription.h"

#include "platform/FieldLimit.h"

namespace {

bool InRange(std::int32_t value, std::int32_t limit) {
    return value >= -limit && value <= limit;
}

} // namespace

bool IsCreatable(const FontDescription& font) {
    return FitsFaceName(font.faceName) && InRange(font.height, FontDescription::kMaxPixels) &&
           InRange(font.width, FontDescription::kMaxPixels) && font.weight >= 0 &&
           font.weight <= FontDescription::kMaxWeight;
}

bool FitsFaceName(std::string_view face) {
    return face.find('\0') == std::string_view::npos &&
           FieldLimit::Measure(face).value_or(FontDescription::kFaceSize) < FontDescription::kFaceSize;
}
