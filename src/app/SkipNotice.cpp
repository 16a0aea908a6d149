#include "app/SkipNotice.h"

#include "platform/PaintArea.h"

#include <QAccessible>

SkipNotice::SkipNotice(QWidget* parent)
    : QLabel(parent) {
    // Covers the caption under it, in a warning colour.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, PaintArea::TextColour(QColor(0xB0, 0x30, 0x00), colours));
    setPalette(colours);
    hide();
}

void SkipNotice::Show(const QString& notice) {
    setToolTip(notice);
    setAccessibleName(notice);
    setText(fontMetrics().elidedText(notice, Qt::ElideRight, width()));
    setVisible(!notice.isEmpty());
    raise();
    if (!notice.isEmpty()) {
        // Announced as it appears, not only when the reader comes to it.
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}
