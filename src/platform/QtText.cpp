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

QString platform::FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
