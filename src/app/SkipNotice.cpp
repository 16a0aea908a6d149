#include "app/SkipNotice.h"

SkipNotice::SkipNotice(QWidget* parent)
    : QLabel(parent) {
    // Covers the caption under it, in a warning colour.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(0xB0, 0x30, 0x00));
    setPalette(colours);
    hide();
}

void SkipNotice::Show(const QString& notice) {
    setToolTip(notice);
    setAccessibleName(notice);
    setText(fontMetrics().elidedText(notice, Qt::ElideRight, width()));
    setVisible(!notice.isEmpty());
    raise();
}
