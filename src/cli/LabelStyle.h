// The font options of label and print and the label they give: the print
// image drawn and read back as the print button does.
#pragma once

#include "print/LabelImage.h"
#include "print/PrintStyle.h"

#include <string>

namespace cli {

class Arguments;

// The print style the options ask for, starting from the print image's own.
// Throws a usage error for a bad size or colour.
PrintStyle LabelStyleFromOptions(const Arguments& line);

// The password, as the katakana field would hold it; throws a bad-text error.
std::string LabelPassword(const Arguments& line);

// Warns on standard error when the print image cuts some of `password`'s ink.
void WarnIfCut(const std::string& password, const PrintStyle& style);

// The label the print job reads for `password`, with WarnIfCut's warning.
LabelImage LabelOf(const std::string& password, const PrintStyle& style);

} // namespace cli
