// The thin bar under the password field: filled in the colour of the
// estimate's band, as far as its bits go; empty while there is no password.
#pragma once

#include "strength/PasswordStrength.h"

#include <QWidget>

#include <optional>

class StrengthMeter : public QWidget {
    Q_OBJECT
public:
    // The figure at which the bar is full.
    static constexpr double kFullBits = 128;

    explicit StrengthMeter(QWidget* parent = nullptr);

    void SetEstimate(std::optional<strength::Estimate> estimate);
    const std::optional<strength::Estimate>& Estimate() const { return m_estimate; }
    // The bits the bar shows, its value for a screen reader: 0 to kFullBits.
    double Value() const;

    static QColor BandColour(strength::Band band);
    // What the figure means, for the tooltips of the bar and its line.
    static QString Explanation();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<strength::Estimate> m_estimate;
};
