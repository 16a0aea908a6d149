// Crossing between the program's UTF-8 text and Qt's QString; used only at
// the widget boundary.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// A byte a damaged table file kept (see utf8::kKeptByte) shows as U+FFFD.
QString ToQString(std::string_view utf8);

namespace platform {
// UTF-8 text, such as the program's own literals, as a QString.
QString FromUtf8(std::string_view utf8);
} // namespace platform

// Nothing when the text holds a character that code page 932 cannot hold.
std::optional<std::string> FromQString(const QString& text);
