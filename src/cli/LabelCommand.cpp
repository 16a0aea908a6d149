#include "cli/LabelCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "print/LabelSheet.h"

namespace cli {

int RunLabel(const QStringList& arguments) {
    Arguments line(kLabelHelp);
    line.Parser().addOption(QCommandLineOption("output", "", "FILE"));
    line.Parser().addOption(QCommandLineOption("no-frame"));
    AddLabelStyleOptions(line);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    if (!line.IsSet("output")) {
        throw CliError(kUsage, "label には --output FILE.png か --output FILE.pdf を指定してください");
    }
    const std::string password = LabelPassword(line);
    const PrintStyle style = LabelStyleFromOptions(line);
    const std::string output = line.Value("output");
    QByteArray bytes;
    if (QString::fromStdString(output).endsWith(".pdf", Qt::CaseInsensitive)) {
        WarnIfCut(password, style);
        bytes = LabelSheet(password, style, !line.IsSet("no-frame")).Pdf();
    } else {
        bytes = LabelPng(LabelOf(password, style));
    }
    WriteFile(output, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return kDone;
}

} // namespace cli
