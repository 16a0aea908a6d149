// q8xj-cli label: the label of a password as a PNG file.
#pragma once

#include <QStringList>

namespace cli {

class LabelCommand {
public:
    static int Run(const QStringList& arguments);
};

} // namespace cli
