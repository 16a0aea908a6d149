// q8xj-cli label: the label of a password as a PNG file.
#pragma once

#include <QStringList>

namespace cli {

int RunLabel(const QStringList& arguments);

} // namespace cli
