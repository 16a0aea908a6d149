#include "platform/QtText.h"

#include "platform/Cp932.h"

QString ToQString(std::string_view cp932Text) {
    return QString::fromStdString(cp932::ToUtf8(cp932Text));
}

std::optional<std::string> FromQString(const QString& text) {
    // Unpaired surrogates would otherwise become U+FFFD on the way to UTF-8.
    if (!text.isValidUtf16()) {
        return std::nullopt;
    }
    return cp932::FromUtf8(text.toStdString());
}

bool IsCp932Representable(const QString& text) {
    return FromQString(text).has_value();
}
