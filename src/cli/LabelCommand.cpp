#include "cli/LabelCommand.h"

#include "cli/CliError.h"
#include "cli/CommandLine.h"
#include "cli/Files.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"

namespace cli {

int LabelCommand::Run(const QStringList& arguments) {
    CommandLine line(kLabelHelp);
    line.Parser().addOption(QCommandLineOption("output", "", "FILE"));
    LabelStyle::AddOptions(line);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    if (!line.IsSet("output")) {
        throw CliError(kUsage, "label には --output FILE.png を指定してください");
    }
    const std::string password = LabelStyle::Password(line);
    const PrintStyle style = LabelStyle::FromOptions(line);
    const QByteArray png = LabelStyle::Png(LabelStyle::Label(password, style));
    Files::Write(line.Value("output"),
                 std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    return kDone;
}

} // namespace cli
