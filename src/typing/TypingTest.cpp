#include "typing/TypingTest.h"

#include "platform/Cp932.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/TickCount.h"
#include "typing/ComparisonLine.h"
#include "typing/MatchTime.h"

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

TypingTest::~TypingTest() {
    if (m_area != nullptr) {
        m_area->SetPainter({});
        m_area->setFont(m_previousFont);
    }
}

void TypingTest::Attach(PaintArea* area) {
    m_area = area;
    m_font = PointFont(QStringLiteral("MS UI Gothic"), kResultTenthsOfPoint, area);
    m_previousFont = area->font();
    area->setFont(m_font);
    area->SetPainter([this](QPainter& painter) { Paint(painter); });
}

void TypingTest::OnTextChanged() {
    if (m_startTime == 0) {
        m_startTime = platform::GetTickCount();
    }
}

bool TypingTest::Check(std::string_view password, std::string_view typed) {
    const std::uint32_t measured = ElapsedTime(platform::GetTickCount(), m_startTime);
    m_startTime = 0;
    if (typed.empty()) {
        // The clock stays stopped: the next keystroke starts a new attempt.
        platform::AppMessageBox(QStringLiteral("パスワードが入力されていません"), platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return false;
    }
    m_result = ResultLine{};
    if (typed == password) {
        m_result.best = RecordMatchTime(m_bestTime, measured);
        m_result.message = MatchMessage(measured);
    } else {
        m_result.glyphs = ComparisonLine(password, typed);
    }
    Redraw();
    return true;
}

void TypingTest::NewPassword() {
    m_bestTime = 0;
    m_result = ResultLine{};
    Redraw();
}

void TypingTest::Redraw() {
    if (m_area != nullptr) {
        m_area->update();
    }
}

// The result line inside the area's frame: from (2, 2) to 4 pixels short of
// the right and bottom edges, nothing drawn past that.
void TypingTest::Paint(QPainter& painter) const {
    const QRect r(QPoint(2, 2), QPoint(m_area->width() - 5, m_area->height() - 5));
    painter.save();
    painter.setClipRect(r);
    painter.fillRect(r, PaintArea::ButtonFace());
    painter.setFont(m_font);

    if (!m_result.message.empty()) {
        painter.setPen(m_result.best ? kBlue : kBlack);
        painter.drawText(r, kLineFlags, ToQString(m_result.message));
    }

    const QFontMetrics metrics(m_font, painter.device());
    QFont underlined = m_font;
    underlined.setUnderline(true);
    int x = r.left();
    for (const Glyph& glyph : m_result.glyphs) {
        if (x > r.right()) {
            break; // the rest would be cut off whole
        }
        const QString text = ToQString(GlyphText(glyph.byte));
        painter.setPen(glyph.kind == GlyphKind::Right ? kBlack : kRed);
        painter.setFont(glyph.kind == GlyphKind::Extra ? underlined : m_font);
        painter.drawText(QRect(QPoint(x, r.top()), r.bottomRight()), kLineFlags, text);
        x += metrics.horizontalAdvance(text) + 1;
    }
    painter.restore();
}
