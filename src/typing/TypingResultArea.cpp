#include "typing/TypingResultArea.h"

#include "platform/Fonts.h"
#include "platform/AccessibleRole.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "typing/TypingTrial.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// Single line, vertically centred, left aligned.
constexpr int kLineFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

constexpr int kResultTenthsOfPoint = 100;

} // namespace

TypingResultArea::~TypingResultArea() {
    if (m_area != nullptr) {
        m_area->SetPainter({});
        m_area->setFont(m_previousFont);
    }
}

void TypingResultArea::Attach(PaintArea* area, const TypingTrial& trial) {
    m_trial = &trial;
    m_area = area;
    m_font = PointFont(QStringLiteral("MS UI Gothic"), kResultTenthsOfPoint, area);
    m_previousFont = area->font();
    area->setFont(m_font);
    area->SetPainter([this](QPainter& painter) { Paint(painter); });
    SetAccessibleRole(area, QAccessible::Notification);
    Redraw();
}

void TypingResultArea::Redraw(ReadOut readOut) {
    if (m_area == nullptr) {
        return;
    }
    // The line in words: which characters are wrong shows only by colour.
    const QString said = ToQString(SpokenResult(m_trial->Result()));
    m_area->setAccessibleName(said.isEmpty() ? QString::fromUtf8("試し打ちの結果") : said);
    if (readOut == ReadOut::Yes && m_area->isVisible()) {
        m_area->hide(); // shown again before anything is painted
        m_area->show();
    }
    m_area->update();
}

// The result line inside the area's frame: from (2, 2) to 4 pixels short of
// the right and bottom edges, nothing drawn past that.
void TypingResultArea::Paint(QPainter& painter) const {
    const QRect r(QPoint(2, 2), QPoint(m_area->width() - 5, m_area->height() - 5));
    painter.save();
    painter.setClipRect(r);
    painter.fillRect(r, PaintArea::ButtonFace());
    painter.setFont(m_font);
    const ResultLine& result = m_trial->Result();
    const QPalette& palette = m_area->palette();

    if (!result.message.empty()) {
        painter.setPen(PaintArea::TextColour(result.best ? kBlue : kBlack, palette));
        painter.drawText(r, kLineFlags, ToQString(result.message));
    }

    const QFontMetrics metrics(m_font, painter.device());
    QFont underlined = m_font;
    underlined.setUnderline(true);
    int x = r.left();
    for (const Glyph& glyph : result.glyphs) {
        if (x > r.right()) {
            break; // the rest would be cut off whole
        }
        const QString text = ToQString(GlyphText(glyph.byte));
        painter.setPen(PaintArea::TextColour(glyph.kind == GlyphKind::Right ? kBlack : kRed, palette));
        painter.setFont(glyph.kind == GlyphKind::Extra ? underlined : m_font);
        painter.drawText(QRect(QPoint(x, r.top()), r.bottomRight()), kLineFlags, text);
        x += metrics.horizontalAdvance(text) + 1;
    }
    painter.restore();
}
