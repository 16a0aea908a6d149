// q8xj-cli table export | import | check: the conversion table as text.
#pragma once

#include <QStringList>

namespace cli {

class TableCommand {
public:
    static int Run(const QStringList& arguments);
};

} // namespace cli
