#include "print/PrintStyleSettings.h"

#include "platform/QtText.h"
#include "print/QtFont.h"

#include <QSettings>

#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

const QString kFont = QStringLiteral("print/font");
// Where earlier versions kept each field of the font's description.
const QString kOldFont = QStringLiteral("print/font/");
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

// The font kept by earlier versions, made as they made it.
std::optional<QFont> LoadOldFont(const QSettings& settings) {
    FontDescription font;
    bool whole = true;
    ForEachNumber(font, [&](const char* name, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        bool ok = false;
        const qlonglong value = settings.value(kOldFont + QLatin1String(name)).toLongLong(&ok);
        if (!ok || value < std::numeric_limits<Field>::min() || value > std::numeric_limits<Field>::max()) {
            whole = false;
            return;
        }
        field = static_cast<Field>(value);
    });
    const QVariant face = settings.value(kOldFont + QStringLiteral("faceName"));
    const std::optional<std::string> faceName = FromQString(face.toString());
    if (!whole || !face.isValid() || !faceName) {
        return std::nullopt;
    }
    font.faceName = *faceName;
    return CreateQFont(font);
}

} // namespace

void SavePrintStyle(QSettings& settings, const FontChoice& style) {
    settings.setValue(kFont, style.font.toString());
    settings.setValue(kColour, style.colour.name(QColor::HexRgb));
}

std::optional<FontChoice> LoadPrintStyle(const QSettings& settings) {
    const QColor colour = QColor::fromString(settings.value(kColour).toString());
    std::optional<QFont> font;
    if (settings.contains(kFont)) {
        QFont kept;
        if (kept.fromString(settings.value(kFont).toString())) {
            font = kept;
        }
    } else {
        font = LoadOldFont(settings);
    }
    if (!font || !colour.isValid()) {
        return std::nullopt;
    }
    return FontChoice{*font, colour};
}
