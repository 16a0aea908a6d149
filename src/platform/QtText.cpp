#include "platform/QtText.h"

#include "platform/FieldLimit.h"
#include "platform/Utf8.h"

namespace {

// Where the text holds a kept byte's code point, or -1.
qsizetype KeptByteAt(const QString& text, qsizetype from) {
    for (qsizetype i = from; i + 1 < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() &&
            QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) >= utf8::kKeptByte) {
            return i;
        }
    }
    return -1;
}

} // namespace

QString ToQString(std::string_view utf8) {
    QString text = platform::FromUtf8(utf8);
    for (qsizetype i = KeptByteAt(text, 0); i >= 0; i = KeptByteAt(text, i + 1)) {
        text.replace(i, 2, QChar(QChar::ReplacementCharacter));
    }
    return text;
}

QString platform::FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> FromQString(const QString& text) {
    // Unpaired surrogates would otherwise become U+FFFD on the way to UTF-8.
    // A kept byte's code point is no character a user can give.
    if (!text.isValidUtf16() || KeptByteAt(text, 0) >= 0) {
        return std::nullopt;
    }
    std::string utf8 = text.toStdString();
    if (!FieldLimit::Holds(utf8)) {
        return std::nullopt;
    }
    return utf8;
}
