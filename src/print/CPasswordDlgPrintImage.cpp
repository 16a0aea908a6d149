// The print image of the main dialog: the label as it will be printed.
#include "app/CPasswordDlg.h"

#include "platform/PaintArea.h"

#include <QPainter>

// The white drawing area inside the etched frame, x 2..384 and y 2..64.
void CPasswordDlg::DrawPrintImage(QPainter& painter) {
    const QWidget* area = m_printWnd;
    if (area == nullptr) {
        return;
    }
    painter.fillRect(QRect(2, 2, area->width() - 4, area->height() - 4), Qt::white);
}
