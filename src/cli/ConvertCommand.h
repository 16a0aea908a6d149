// q8xj-cli convert: the password for each phrase, as the main window gives it.
#pragma once

#include <QStringList>

namespace cli {

int RunConvert(const QStringList& arguments);

} // namespace cli
