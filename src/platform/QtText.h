// Crossing between the program's code page 932 text and Qt's QString; used
// only at the widget boundary.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

QString ToQString(std::string_view cp932Text);

// Nothing when the text holds a character that code page 932 cannot hold.
std::optional<std::string> FromQString(const QString& text);

// Whether every character of `text` has a code page 932 form.
bool IsCp932Representable(const QString& text);
