// Where the program keeps what it remembers between runs: QSettings in the
// desktop's usual place (on Linux ~/.config/Q8xj/Q8xj.conf, following
// XDG_CONFIG_HOME). The names are given here once, so every reader and writer
// meets the same file; a test points QSettings::setPath at a folder of its own.
#pragma once

#include <QSettings>

#include <memory>

namespace platform {

inline constexpr const char* kSettingsOrganisation = "Q8xj";
inline constexpr const char* kSettingsApplication = "Q8xj";

// The program's settings.
std::unique_ptr<QSettings> OpenSettings();

} // namespace platform
