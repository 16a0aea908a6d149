// q8xj-cli suggest: phrases of familiar words drawn at random, with the
// strength of the choice.
#pragma once

#include <QStringList>

namespace cli {

int RunSuggest(const QStringList& arguments);

} // namespace cli
