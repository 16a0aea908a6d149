#include "platform/FieldLimit.h"

#include "platform/Cp932.h"

FieldLimit::Verdict FieldLimit::Check(std::string_view utf8) const {
    const std::optional<std::size_t> bytes = cp932::Length(utf8);
    if (!bytes) {
        return Verdict::NoForm;
    }
    return *bytes > m_bytes ? Verdict::TooLong : Verdict::Fits;
}

std::size_t FieldLimit::FittingPrefix(std::string_view utf8, std::size_t room) {
    return cp932::FittingPrefix(utf8, room);
}

std::optional<std::size_t> FieldLimit::Measure(std::string_view utf8) {
    return cp932::Length(utf8);
}
