// q8xj-cli print: the label of a password on the label printer, with a line
// on standard error for each stage of the job, or on a queue of the system's
// printing service; q8xj-cli printers: the printers there are.
#pragma once

#include <QStringList>

namespace cli {

int RunPrint(const QStringList& arguments);
int ListPrinters(const QStringList& arguments);

} // namespace cli
