#include "cli/LabelCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "files/DotsPng.h"
#include "platform/UserText.h"
#include "print/LabelSheet.h"
#include "table/TableFile.h"

#include <QFileInfo>

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
    const QString suffix = QFileInfo(QString::fromStdString(output)).suffix().toLower();
    if (output != "-" && suffix != "png" && suffix != "pdf") {
        throw CliError(kUsage, "--output には拡張子 .png か .pdf のファイル名を指定してください: " +
                                   QuotedUserText(output, kShownPathChars));
    }
    std::string bytes;
    if (suffix == "pdf" && output != "-") {
        WarnIfCut(password, style);
        const QByteArray pdf = LabelSheet(password, style, !line.IsSet("no-frame")).Pdf();
        bytes.assign(pdf.constData(), static_cast<std::size_t>(pdf.size()));
    } else {
        const std::vector<std::uint8_t> png =
            files::EncodeDotsPng(LabelOf(password, style).Data(), LabelImage::kWidth, LabelImage::kHeight);
        if (png.empty()) {
            throw CliError(kInternal, "ラベルを PNG に変換できません");
        }
        bytes.assign(png.begin(), png.end());
    }
    // The label holds the password: a new file is its owner's alone, and never the table file.
    WriteFile(output, bytes, kTableFileName, files::Access::Private);
    return kDone;
}

} // namespace cli
