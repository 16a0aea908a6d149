// The print image of the main dialog: the label as it will be printed.
#include "app/CPasswordDlg.h"

#include "print/PrintImage.h"

#include <QPainter>

// The control shows the rendered image, the one the label is read from.
void CPasswordDlg::DrawPrintImage(QPainter& painter) {
    if (m_printWnd == nullptr) {
        return;
    }
    PrintImage::Draw(painter, m_password, m_printStyle);
}

void CPasswordDlg::ChangePrintFont() {
    if (m_printStyle.ChangeFont(this)) {
        m_printWnd->setFont(m_printStyle.Font());
        InvalidatePrintImage();
    }
}
