#include "print/PrintStyle.h"

#include "platform/Fonts.h"
#include "print/FontChooser.h"

PrintStyle::PrintStyle(const QPaintDevice* device)
    : m_font(FontOf(QString::fromLatin1(kStartFace), kStartPoints, device))
    , m_colour(Qt::black) {}

QFont PrintStyle::FontOf(const QString& face, int points, const QPaintDevice* device) {
    QFont font = PointFont(face, points * 10, device);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch | QFont::PreferDefault));
    font.setWeight(QFont::Normal);
    return font;
}

void PrintStyle::Set(const QFont& font, QColor colour) {
    m_font = font;
    m_colour = colour.toRgb();
    m_colour.setAlpha(255);
}

bool PrintStyle::ChangeFont(QWidget* parent) {
    const std::optional<FontChoice> choice = ChooseFont(parent, FontChoice{m_font, m_colour});
    if (!choice) {
        return false;
    }
    Set(choice->font, choice->colour);
    return true;
}
