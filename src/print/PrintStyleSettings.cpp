#include "print/PrintStyleSettings.h"

#include "platform/QtText.h"

#include <QSettings>

#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

const QString kFont = QStringLiteral("print/font/");
const QString kColour = QStringLiteral("print/colour");

// The description's number fields in the order they are kept.
template <typename Visit> void ForEachNumber(FontDescription& font, Visit visit) {
    visit("height", font.height);
    visit("width", font.width);
    visit("escapement", font.escapement);
    visit("orientation", font.orientation);
    visit("weight", font.weight);
    visit("italic", font.italic);
    visit("underline", font.underline);
    visit("strikeOut", font.strikeOut);
    visit("charSet", font.charSet);
    visit("outPrecision", font.outPrecision);
    visit("clipPrecision", font.clipPrecision);
    visit("quality", font.quality);
    visit("pitchAndFamily", font.pitchAndFamily);
}

} // namespace

void SavePrintStyle(QSettings& settings, const FontChoice& style) {
    FontDescription font = style.font;
    ForEachNumber(font, [&](const char* name, auto value) {
        settings.setValue(kFont + QLatin1String(name), static_cast<qlonglong>(value));
    });
    settings.setValue(kFont + QStringLiteral("faceName"), ToQString(font.faceName));
    settings.setValue(kColour, style.colour.name(QColor::HexRgb));
}

std::optional<FontChoice> LoadPrintStyle(const QSettings& settings) {
    FontChoice style;
    bool whole = true;
    ForEachNumber(style.font, [&](const char* name, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        bool ok = false;
        const qlonglong value = settings.value(kFont + QLatin1String(name)).toLongLong(&ok);
        if (!ok || value < std::numeric_limits<Field>::min() || value > std::numeric_limits<Field>::max()) {
            whole = false;
            return;
        }
        field = static_cast<Field>(value);
    });
    const QVariant face = settings.value(kFont + QStringLiteral("faceName"));
    const std::optional<std::string> faceName = FromQString(face.toString());
    const QColor colour = QColor::fromString(settings.value(kColour).toString());
    if (!whole || !face.isValid() || !faceName || !colour.isValid()) {
        return std::nullopt;
    }
    style.font.faceName = *faceName;
    style.colour = colour;
    if (!IsCreatable(style.font)) {
        return std::nullopt;
    }
    return style;
}
