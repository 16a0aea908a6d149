#include "cli/LabelStyle.h"

#include "cli/CliError.h"
#include "cli/FieldText.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/Terminal.h"
#include "convert/Conversion.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/UserText.h"
#include "print/FontDescription.h"
#include "print/PrintImage.h"

#include <algorithm>

namespace cli {
namespace {

constexpr int kMaxPoints = 500;

} // namespace

void AddLabelStyleOptions(Arguments& line) {
    line.Parser().addOption(QCommandLineOption("font", "", "FACE"));
    line.Parser().addOption(QCommandLineOption("size", "", "PT"));
    line.Parser().addOption(QCommandLineOption("colour", "", "COLOUR"));
}

PrintStyle LabelStyleFromOptions(const Arguments& line) {
    PrintStyle style;
    QFont font = style.Font();
    QColor colour = style.TextColour();
    if (line.IsSet("font") || line.IsSet("size")) {
        std::string face = PrintStyle::kStartFace;
        if (line.IsSet("font")) {
            face = line.Value("font");
            if (face.empty() || !FitsFaceName(face)) {
                throw CliError(kUsage, "--font には CP932 で 1〜31 バイトのフォント名を指定してください");
            }
        }
        const int points = line.IsSet("size") ? static_cast<int>(line.Number("size", 1, kMaxPoints))
                                              : PrintStyle::kStartPoints;
        font = PrintStyle::FontOf(ToQString(face), points);
    }
    if (line.IsSet("colour")) {
        colour = QColor::fromString(QString::fromStdString(line.Value("colour")));
        if (!colour.isValid()) {
            throw CliError(kUsage, "--colour には色の名前か #rrggbb を指定してください: " +
                                       QuotedUserText(line.Value("colour")));
        }
    }
    style.Set(font, colour);
    return style;
}

std::string LabelPassword(const Arguments& line) {
    const QStringList positional = line.Positional();
    if (positional.size() != 1) {
        throw CliError(kUsage, "パスワードを 1 つ指定してください（--help を参照）");
    }
    // "-" reads it from standard input's first line, so that it never shows in the process list.
    std::string utf8 = Arguments::Utf8(positional[0]);
    if (utf8 == "-") {
        utf8 = ReadFile("-");
        utf8.resize(std::min(utf8.find('\n'), utf8.size()));
        if (!utf8.empty() && utf8.back() == '\r') {
            utf8.pop_back();
        }
    }
    std::string password = FieldText("パスワード", utf8, utf8);
    if (password.empty()) {
        throw CliError(kUsage, "パスワードが空です。印刷するものがありません");
    }
    return password;
}

void WarnIfCut(const std::string& password, const PrintStyle& style) {
    // The window's rule: ink the print image cuts, whichever edge.
    if (!PrintImage::Fits(password, style)) {
        Warning("パスワードがラベルに収まりません");
    }
}

LabelImage LabelOf(const std::string& password, const PrintStyle& style) {
    WarnIfCut(password, style);
    return PrintImage::Label(PrintImage::Render(password, style));
}

} // namespace cli
