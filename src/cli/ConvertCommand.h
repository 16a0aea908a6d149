// q8xj-cli convert: the password for each phrase, as the main window gives it.
#pragma once

#include <QStringList>

namespace cli {

class ConvertCommand {
public:
    static int Run(const QStringList& arguments);
};

} // namespace cli
