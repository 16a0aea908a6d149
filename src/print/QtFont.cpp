#include "print/QtFont.h"

#include "platform/Fonts.h"
#include "platform/QtText.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A description without a size asks for the usual dialog-sized cell.
constexpr int kDefaultCellHeight = 16;
constexpr int kMaxStretch = 4000;
constexpr auto kAntialiasBits = QFont::NoAntialias | QFont::PreferAntialias;

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

std::uint8_t FamilyOf(QFont::StyleHint hint) {
    for (const auto& [f, h] : kFamilyHints) {
        if (h == hint) {
            return f;
        }
    }
    return FontDescription::DontCareFamily;
}

// Faces with full-width and half-width characters do not call themselves
// fixed pitch, though every password character takes the same width.
bool IsFixedPitch(const QFont& font) {
    const QFontMetrics metrics(font);
    return QFontInfo(font).fixedPitch() ||
           metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W'));
}

// What the description's pitch-and-family says of `font`, from the face
// actually matched rather than from what was asked.
std::uint8_t PitchAndFamilyOf(const QFont& font) {
    const std::uint8_t pitch =
        IsFixedPitch(font) ? FontDescription::FixedPitch : FontDescription::VariablePitch;
    return static_cast<std::uint8_t>(pitch | FamilyOf(font.styleHint()));
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

std::uint8_t QualityOf(const QFont& font) {
    if (font.styleStrategy() & QFont::NoAntialias) {
        return FontDescription::NonAntialiasedQuality;
    }
    if (font.styleStrategy() & QFont::PreferAntialias) {
        return FontDescription::AntialiasedQuality;
    }
    return FontDescription::DefaultQuality;
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

int NormalisedStretch(const QFont& font) {
    return font.stretch() == QFont::AnyStretch ? QFont::Unstretched : font.stretch();
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

std::optional<FontDescription> DescribeQFont(const QFont& font, const FontDescription& base, int dpi) {
    const std::optional<std::string> face = FromQString(font.family());
    if (!face || !FitsFaceName(*face)) {
        return std::nullopt;
    }
    const std::optional<QFont> baseFont = CreateQFont(base);
    const auto same = [&](auto property) {
        return baseFont && property(*baseFont) == property(font);
    };

    FontDescription d = base;
    if (!same([](const QFont& f) { return f.family(); })) {
        d.faceName = *face;
    }
    if (!same([dpi](const QFont& f) { return CharacterHeight(f, dpi); })) {
        d.height = -CharacterHeight(font, dpi);
    }
    if (!same([](const QFont& f) { return NormalisedStretch(f); })) {
        const int stretch = NormalisedStretch(font);
        d.width = stretch == QFont::Unstretched
                      ? 0
                      : static_cast<int>(std::lround(AverageWidthAtNormalStretch(font) * stretch / 100.0));
    }
    if (!same([](const QFont& f) { return f.weight(); })) {
        d.weight = font.weight();
    }
    if (!same([](const QFont& f) { return f.italic(); })) {
        d.italic = font.italic() ? 1 : 0;
    }
    if (!same([](const QFont& f) { return f.underline(); })) {
        d.underline = font.underline() ? 1 : 0;
    }
    if (!same([](const QFont& f) { return f.strikeOut(); })) {
        d.strikeOut = font.strikeOut() ? 1 : 0;
    }
    if (!same([](const QFont& f) { return f.styleStrategy() & kAntialiasBits; })) {
        d.quality = QualityOf(font);
    }
    if (!same([](const QFont& f) { return PitchAndFamilyOf(f); })) {
        d.pitchAndFamily = PitchAndFamilyOf(font);
    }
    return d;
}
