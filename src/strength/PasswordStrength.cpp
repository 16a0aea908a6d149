#include "strength/PasswordStrength.h"

#include "platform/Cp932.h"

#include <zxcvbn.h>

#include <cmath>
#include <string>

namespace strength {

Band BandOf(double bits) {
    if (bits < 40) {
        return Band::VeryWeak;
    }
    if (bits < 75) {
        return Band::Weak;
    }
    return bits < 100 ? Band::Good : Band::VeryGood;
}

std::string BandName(Band band) {
    switch (band) {
    case Band::VeryWeak:
        return std::string("非常に弱い");
    case Band::Weak:
        return std::string("弱い");
    case Band::Good:
        return std::string("良い");
    case Band::VeryGood:
        break;
    }
    return std::string("非常に良い");
}

std::optional<Estimate> EstimatePassword(std::string_view password) {
    if (password.empty()) {
        return std::nullopt;
    }
    // The estimator reads a C string: a copy ends it where the password ends.
    const std::string text(password);
    const double bits = ZxcvbnMatch(text.c_str(), nullptr, nullptr);
    return Estimate{bits, BandOf(bits)};
}

std::string DescribeEstimate(const Estimate& estimate) {
    const long rounded = std::lround(estimate.bits);
    return std::string("強度: ") + BandName(estimate.band) + std::string("（約 ") + std::to_string(rounded) +
           std::string(" ビット）");
}

} // namespace strength
