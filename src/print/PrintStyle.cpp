#include "print/PrintStyle.h"

#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "print/FontChooser.h"
#include "print/QtFont.h"

namespace {

constexpr const char* kStartFace = "MS UI Gothic";
constexpr int kStartTenthsOfPoint = 360;

} // namespace

PrintStyle::PrintStyle(const QPaintDevice* device)
    : m_colour(Qt::black) {
    m_description.faceName = kStartFace;
    m_description.height =
        -PointFont(QString::fromLatin1(kStartFace), kStartTenthsOfPoint, device).pixelSize();
    m_description.charSet = FontDescription::DefaultCharSet;
    m_font = CreateQFont(m_description).value_or(QFont());
}

bool PrintStyle::Set(const FontDescription& description, QColor colour) {
    std::optional<QFont> font = CreateQFont(description);
    if (!font) {
        return false;
    }
    m_description = description;
    m_font = *font;
    m_colour = colour.toRgb();
    m_colour.setAlpha(255);
    return true;
}

bool PrintStyle::ChangeFont(QWidget* parent) {
    const std::optional<FontChoice> choice = ChooseFont(parent, FontChoice{m_description, m_colour});
    if (!choice) {
        return false;
    }
    Set(choice->font, choice->colour);
    return true;
}
