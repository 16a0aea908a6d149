// The typing test's handlers of the main dialog: timing an attempt, checking
// it against the password and drawing the answer in the result area.
#include "app/CPasswordDlg.h"

#include "platform/Cp932.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/TickCount.h"
#include "typing/ComparisonLine.h"
#include "typing/MatchTime.h"

#include <QFontMetrics>
#include <QPainter>

using namespace app;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// Single line, vertically centred, left aligned.
constexpr int kLineFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

} // namespace

// Focus in the typing field: Enter there runs the check. Unlike the katakana
// field's handler this runs every step every time.
void CPasswordDlg::OnTypingFocus() {
    SetDefaultStyle(IDC_CONVERT, false);
    SetDefID(IDC_CHECK);
    SetDefaultStyle(IDC_CHECK, true);
}

// Every change of the field's text, the program's own emptying included: the
// first one after a check or at start-up starts the clock.
void CPasswordDlg::OnTypingUpdate() {
    if (m_typingStartTime == 0) {
        m_typingStartTime = GetTickCount();
    }
}

void CPasswordDlg::OnPasswordCheck() {
    const std::uint32_t measured = ElapsedTime(GetTickCount(), m_typingStartTime);
    m_typingStartTime = 0;
    UpdateData(true);

    if (m_typed.empty()) {
        // The clock stays stopped: the next keystroke starts a new attempt.
        AfxMessageBox(cp932::Text("パスワードが入力されていません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    m_resultLine = ResultLine{};
    if (m_typed == m_password) {
        m_resultLine.best = RecordMatchTime(m_bestTypingTime, measured);
        m_resultLine.message = MatchMessage(measured);
    } else {
        m_resultLine.glyphs = ComparisonLine(m_password, m_typed);
    }
    if (m_resultDC != nullptr) {
        m_resultDC->update();
    }

    // Emptying the field is a text change too, so the next attempt is timed
    // from here on.
    m_typed.clear();
    UpdateData(false);
}

void CPasswordDlg::ClearTypingResult() {
    m_resultLine = ResultLine{};
    if (m_resultDC != nullptr) {
        m_resultDC->update();
    }
}

// The result line inside the area's frame: from (2, 2) to 4 pixels short of
// the right and bottom edges, nothing drawn past that.
void CPasswordDlg::DrawTypingResult(QPainter& painter) {
    const QWidget* area = m_resultWnd;
    if (area == nullptr) {
        return;
    }
    const QRect r(QPoint(2, 2), QPoint(area->width() - 5, area->height() - 5));
    painter.save();
    painter.setClipRect(r);
    painter.fillRect(r, PaintArea::ButtonFace());
    painter.setFont(m_resultFont);

    if (!m_resultLine.message.empty()) {
        painter.setPen(m_resultLine.best ? kBlue : kBlack);
        painter.drawText(r, kLineFlags, ToQString(m_resultLine.message));
    }

    const QFontMetrics metrics(m_resultFont, painter.device());
    QFont underlined = m_resultFont;
    underlined.setUnderline(true);
    int x = r.left();
    for (const Glyph& glyph : m_resultLine.glyphs) {
        if (x > r.right()) {
            break; // the rest would be cut off whole
        }
        const QString text = ToQString(GlyphText(glyph.byte));
        painter.setPen(glyph.kind == GlyphKind::Right ? kBlack : kRed);
        painter.setFont(glyph.kind == GlyphKind::Extra ? underlined : m_resultFont);
        painter.drawText(QRect(QPoint(x, r.top()), r.bottomRight()), kLineFlags, text);
        x += metrics.horizontalAdvance(text) + 1;
    }
    painter.restore();
}
