#include "print/QtFont.h"

#include "platform/Fonts.h"
#include "platform/QtText.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A description without a size asks for the usual dialog-sized cell.
constexpr int kDefaultCellHeight = 16;
constexpr int kMaxStretch = 4000;

struct FamilyHint {
    std::uint8_t family;
    QFont::StyleHint hint;
};

constexpr FamilyHint kFamilyHints[] = {
    {FontDescription::Roman, QFont::Serif},           {FontDescription::Swiss, QFont::SansSerif},
    {FontDescription::Modern, QFont::Monospace},      {FontDescription::Script, QFont::Cursive},
    {FontDescription::Decorative, QFont::Decorative},
};

QFont::StyleHint HintOf(std::uint8_t pitchAndFamily) {
    const auto family = static_cast<std::uint8_t>(pitchAndFamily & FontDescription::FamilyMask);
    for (const auto& [f, hint] : kFamilyHints) {
        if (f == family) {
            return hint;
        }
    }
    return QFont::AnyStyle;
}

QFont::StyleStrategy StrategyOf(std::uint8_t quality) {
    switch (quality) {
    case FontDescription::NonAntialiasedQuality:
        return QFont::NoAntialias;
    case FontDescription::DefaultQuality:
        return QFont::PreferDefault;
    default:
        return quality >= FontDescription::AntialiasedQuality ? QFont::PreferAntialias : QFont::PreferDefault;
    }
}

// The pixel size whose ascent plus descent comes closest to `cell`.
int PixelSizeForCell(QFont font, int cell) {
    font.setPixelSize(cell);
    const int measured = QFontMetrics(font).height();
    if (measured <= 0) {
        return cell;
    }
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(cell) * cell / measured)));
}

int AverageWidthAtNormalStretch(QFont font) {
    font.setStretch(QFont::Unstretched);
    return std::max(1, QFontMetrics(font).averageCharWidth());
}

} // namespace

std::optional<QFont> CreateQFont(const FontDescription& description) {
    if (!IsCreatable(description)) {
        return std::nullopt;
    }
    QFont font(MapFaceName(ToQString(description.faceName)));
    font.setStyleHint(HintOf(description.pitchAndFamily));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch | StrategyOf(description.quality)));
    const auto pitch = description.pitchAndFamily & FontDescription::PitchMask;
    if (pitch == FontDescription::FixedPitch) {
        font.setFixedPitch(true);
    }
    if (description.height < 0) {
        font.setPixelSize(-description.height);
    } else {
        font.setPixelSize(
            PixelSizeForCell(font, description.height > 0 ? description.height : kDefaultCellHeight));
    }
    font.setWeight(description.weight == FontDescription::DontCare
                       ? QFont::Normal
                       : static_cast<QFont::Weight>(std::max(1, description.weight)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    if (description.width != 0) {
        const double stretch = 100.0 * std::abs(description.width) / AverageWidthAtNormalStretch(font);
        font.setStretch(std::clamp(static_cast<int>(std::lround(stretch)), 1, kMaxStretch));
    }
    return font;
}

int CharacterHeight(const QFont& font, int dpi) {
    if (font.pixelSize() > 0) {
        return font.pixelSize();
    }
    return PointsToPixels(static_cast<int>(std::lround(font.pointSizeF() * 10)), dpi);
}
