// q8xj-cli table export | import | check: the conversion table as text.
#pragma once

#include <QStringList>

namespace cli {

int RunTable(const QStringList& arguments);

} // namespace cli
