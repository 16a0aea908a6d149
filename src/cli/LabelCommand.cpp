#include "cli/LabelCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "cli/Options.h"
#include "files/DotsPng.h"
#include "platform/UserText.h"
#include "print/LabelSheet.h"
#include "table/TableFile.h"

#include <QFileInfo>

namespace cli {

int RunLabel(const QStringList& arguments) {
    Arguments line(LabelHelp(), {opt::kOutput, opt::kFont, opt::kSize, opt::kColour, opt::kNoFrame});
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const std::string flag = Flag(opt::kOutput);
    if (!line.IsSet(opt::kOutput)) {
        throw CliError(kUsage,
                       "label には " + flag + " FILE.png か " + flag + " FILE.pdf を指定してください");
    }
    const std::string password = LabelPassword(line);
    const PrintStyle style = LabelStyleFromOptions(line);
    const std::string output = line.Value(opt::kOutput);
    const QString suffix = QFileInfo(QString::fromStdString(output)).suffix().toLower();
    if (output != "-" && suffix != "png" && suffix != "pdf") {
        throw CliError(kUsage, flag + " には拡張子 .png か .pdf のファイル名を指定してください: " +
                                   QuotedUserText(output, kShownPathChars));
    }
    std::string bytes;
    if (suffix == "pdf" && output != "-") {
        WarnIfCut(password, style);
        const QByteArray pdf = LabelSheet(password, style, !line.IsSet(opt::kNoFrame)).Pdf();
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
