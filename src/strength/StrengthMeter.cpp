#include "strength/StrengthMeter.h"

#include "platform/AccessibleRole.h"
#include "platform/QtText.h"

#include <QPainter>

#include <algorithm>

StrengthMeter::StrengthMeter(QWidget* parent)
    : QWidget(parent) {
    setToolTip(Explanation());
    SetAccessibleRole(this, QAccessible::ProgressBar);
    SetEstimate(std::nullopt);
}

void StrengthMeter::SetEstimate(std::optional<strength::Estimate> estimate) {
    m_estimate = estimate;
    setAccessibleName(
        QString::fromUtf8("パスワードの強さ") +
        (estimate ? QString::fromUtf8(": ") + ToQString(strength::DescribeEstimate(*estimate)) : QString()));
    update();
}

QColor StrengthMeter::BandColour(strength::Band band) {
    switch (band) {
    case strength::Band::VeryWeak:
        return {0xd0, 0x30, 0x30};
    case strength::Band::Weak:
        return {0xe8, 0x8a, 0x10};
    case strength::Band::Good:
        return {0x7a, 0xb0, 0x30};
    case strength::Band::VeryGood:
        break;
    }
    return {0x20, 0x8a, 0x40};
}

QString StrengthMeter::Explanation() {
    return QString::fromUtf8(
        "この言葉を知らない人がパスワードを当てるまでに要る推測の回数の見積もりです"
        "（38 ビットなら約 2 の 38 乗回）。\n"
        "言葉からパスワードを作る仕組みと変換表を知っている人は、もっと少ない回数で当てるかもしれません。\n"
        "パスワードを強くするには、言葉を長くしてください。");
}

void StrengthMeter::paintEvent(QPaintEvent* /*event*/) {
    if (!m_estimate) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xdd, 0xdd, 0xdd));
    const double share = std::clamp(m_estimate->bits / kFullBits, 0.0, 1.0);
    // A password always shows a sliver of colour, even at 0 bits.
    const int filled = std::max(2, static_cast<int>(share * width() + 0.5));
    painter.fillRect(QRect(0, 0, filled, height()), BandColour(m_estimate->band));
}
