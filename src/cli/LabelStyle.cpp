#include "cli/LabelStyle.h"

#include "cli/CliError.h"
#include "cli/FieldText.h"
#include "cli/Arguments.h"
#include "cli/Terminal.h"
#include "convert/Conversion.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/UserText.h"
#include "print/PrintImage.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>

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
    FontDescription description = style.Description();
    QColor colour = style.TextColour();
    if (line.IsSet("font")) {
        const std::string face = line.Value("font");
        if (face.empty() || !FitsFaceName(face)) {
            throw CliError(kUsage, "--font には CP932 で 1〜31 バイトのフォント名を指定してください");
        }
        description.faceName = face;
    }
    if (line.IsSet("font") || line.IsSet("size")) {
        const int points = line.IsSet("size") ? static_cast<int>(line.Number("size", 1, kMaxPoints)) : 36;
        // The size as a character height at the screen's resolution, as the window keeps it.
        description.height = -PointFont(ToQString(description.faceName), points * 10).pixelSize();
    }
    if (line.IsSet("colour")) {
        colour = QColor::fromString(QString::fromStdString(line.Value("colour")));
        if (!colour.isValid()) {
            throw CliError(kUsage, "--colour には色の名前か #rrggbb を指定してください: " +
                                       QuotedUserText(line.Value("colour")));
        }
    }
    if (!style.Set(description, colour)) {
        throw CliError(kUsage, "--font " + QuotedUserText(line.Value("font")) + "のフォントを作れません");
    }
    return style;
}

std::string LabelPassword(const Arguments& line) {
    const QStringList positional = line.Positional();
    if (positional.size() != 1) {
        throw CliError(kUsage, "パスワードを 1 つ指定してください（--help を参照）");
    }
    const std::string utf8 = Arguments::Utf8(positional[0]);
    std::string password = FieldText("パスワード", utf8, utf8);
    if (password.empty()) {
        throw CliError(kUsage, "パスワードが空です。印刷するものがありません");
    }
    return password;
}

void WarnIfCut(const std::string& password, const PrintStyle& style) {
    const int width = QFontMetrics(style.Font()).horizontalAdvance(ToQString(password));
    if (width > PrintImage::kTextArea.width()) {
        Warning("パスワードの幅 " + std::to_string(width) + " ピクセルがラベルの " +
                std::to_string(PrintImage::kTextArea.width()) + " ピクセルを超えるため、両端が切れます");
    }
}

LabelImage LabelOf(const std::string& password, const PrintStyle& style) {
    WarnIfCut(password, style);
    return PrintImage::Label(PrintImage::Render(password, style));
}

QByteArray LabelPng(const LabelImage& label) {
    QImage image(LabelImage::kWidth, LabelImage::kHeight, QImage::Format_Grayscale8);
    for (int y = 0; y < LabelImage::kHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < LabelImage::kWidth; ++x) {
            row[x] = label.Dot(x, y) ? 0 : 255;
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw CliError(kInternal, "ラベルを PNG に変換できません");
    }
    return bytes;
}

} // namespace cli
