#include "cli/LabelStyle.h"

#include "cli/CliError.h"
#include "cli/FieldText.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/Options.h"
#include "cli/Terminal.h"
#include "convert/Conversion.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/UserText.h"
#include "print/FontDescription.h"
#include "print/PrintImage.h"

namespace cli {

PrintStyle LabelStyleFromOptions(const Arguments& line) {
    PrintStyle style;
    QFont font = style.Font();
    QColor colour = style.TextColour();
    if (line.IsSet(opt::kFont) || line.IsSet(opt::kSize)) {
        std::string face = PrintStyle::kStartFace;
        if (line.IsSet(opt::kFont)) {
            face = line.Value(opt::kFont);
            if (face.empty() || !FitsFaceName(face)) {
                throw CliError(kUsage, Flag(opt::kFont) +
                                           " には CP932 で 1〜31 バイトのフォント名を指定してください");
            }
        }
        const int points = line.IsSet(opt::kSize) ? static_cast<int>(line.Number(opt::kSize, 1, kMaxPoints))
                                                  : PrintStyle::kStartPoints;
        font = PrintStyle::FontOf(ToQString(face), points);
    }
    if (line.IsSet(opt::kColour)) {
        colour = QColor::fromString(line.Text(opt::kColour));
        if (!colour.isValid()) {
            throw CliError(kUsage, Flag(opt::kColour) + " には色の名前か #rrggbb を指定してください: " +
                                       QuotedUserText(line.Value(opt::kColour)));
        }
    }
    style.Set(font, colour);
    return style;
}

std::string LabelPassword(const Arguments& line) {
    const QStringList positional = line.Positional();
    if (positional.size() != 1) {
        throw CliError(kUsage, "パスワードを 1 つ指定してください" + SeeHelp());
    }
    // "-" reads it from standard input's first line, so that it never shows in the process list.
    std::string utf8 = Arguments::Utf8(positional[0]);
    if (utf8 == "-") {
        InputLines input;
        if (!input.Next(utf8)) {
            input.Check();
            utf8.clear();
        }
    }
    std::string password = FieldText("パスワード", utf8, Cp932Form);
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
