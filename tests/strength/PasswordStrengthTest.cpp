#include "strength/PasswordStrength.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using strength::Band;

TEST(PasswordStrength, BandsFollowTheUnroundedFigure) {
    constexpr std::pair<double, Band> kRows[] = {
        {39.99, Band::VeryWeak}, {40, Band::Weak},    {74.96, Band::Weak},
        {75, Band::Good},        {99.99, Band::Good}, {100, Band::VeryGood},
    };
    for (const auto& [bits, band] : kRows) {
        SCOPED_TRACE(bits);
        EXPECT_EQ(strength::BandOf(bits), band);
    }
    // The window's line rounds the figure but keeps the band it was given.
    EXPECT_EQ(strength::DescribeEstimate({74.6, Band::Weak}), std::string("強度: 弱い（約 75 ビット）"));
}

TEST(PasswordStrength, EstimatesPasswords) {
    EXPECT_FALSE(strength::EstimatePassword("")); // nothing to estimate
    const std::string_view random = "gT7!rW2#kP9@vN4$zQ6&";
    const auto estimate = strength::EstimatePassword(random);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->band, Band::VeryGood);
    // A part of a longer text is estimated alone.
    EXPECT_LT(strength::EstimatePassword(random.substr(0, 4))->bits, estimate->bits);
    // Without its library there is no figure, and no crash.
    strength::LoadedEstimator missing("libq8xj-no-such-estimator.so.0");
    strength::Estimator::Replace(&missing);
    EXPECT_FALSE(strength::EstimatePassword(random));
    strength::Estimator::Replace(nullptr);
}

} // namespace
