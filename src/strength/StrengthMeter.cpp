#include "strength/StrengthMeter.h"

#include "platform/QtText.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

namespace {

// A progress bar with a value, so that a screen reader can tell how full it is.
class MeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MeterAccessible(StrengthMeter* meter)
        : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return static_cast<StrengthMeter*>(widget())->Value(); }
    void setCurrentValue(const QVariant& /*value*/) override {}
    QVariant maximumValue() const override { return StrengthMeter::kFullBits; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }
};

QAccessibleInterface* MeterInterface(const QString& className, QObject* object) {
    auto* meter = qobject_cast<StrengthMeter*>(object);
    return meter != nullptr && className == QLatin1String("StrengthMeter") ? new MeterAccessible(meter)
                                                                           : nullptr;
}

} // namespace

StrengthMeter::StrengthMeter(QWidget* parent)
    : QWidget(parent) {
    static const bool installed = (QAccessible::installFactory(&MeterInterface), true);
    static_cast<void>(installed);
    setToolTip(Explanation());
    SetEstimate(std::nullopt);
}

double StrengthMeter::Value() const {
    return m_estimate ? std::clamp(m_estimate->bits, 0.0, kFullBits) : 0.0;
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
