// The print image of the main dialog: the label as it will be printed.
#include "app/CPasswordDlg.h"

#include "print/PrintImage.h"

#include <QPainter>

// The control shows the rendered image, the one the label is read from.
void CPasswordDlg::DrawPrintImage(QPainter& painter) {
    if (m_printWnd == nullptr) {
        return;
    }
    PrintImage::Draw(painter, m_password, m_printFont, m_printTextColor);
}
