#include "strength/PasswordStrength.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace {

using strength::Band;

TEST(PasswordStrength, BandsFollowTheUnroundedFigure) {
    struct Row {
        const char* name;
        double bits;
        Band band;
    };
    constexpr Row kRows[] = {
        {"Nothing", 0, Band::VeryWeak}, {"JustBelow40", 39.99, Band::VeryWeak},
        {"At40", 40, Band::Weak},       {"JustBelow75", 74.96, Band::Weak},
        {"At75", 75, Band::Good},       {"JustBelow100", 99.99, Band::Good},
        {"At100", 100, Band::VeryGood}, {"Far above", 300, Band::VeryGood},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(strength::BandOf(row.bits), row.band);
    }
    // The window's line rounds the figure but keeps the band it was given.
    EXPECT_EQ(strength::DescribeEstimate({74.6, Band::Weak}), Sjis("強度: 弱い（約 75 ビット）"));
}

TEST(PasswordStrength, EstimatesPasswords) {
    struct Row {
        const char* name;
        std::string_view password;
        std::optional<Band> band; // nothing: no estimate
        bool randomLooking = false;
    };
    constexpr Row kRows[] = {
        {"Empty", "", std::nullopt},
        {"Sakura", "39r", Band::VeryWeak},
        {"CommonWord", "password", Band::VeryWeak},
        {"EightRandom", "Kx9#mQ2v", Band::Weak, true},
        {"FifteenRandom", "Kx9#mQ2vT4&zP7w", Band::Good, true},
        {"TwentyRandom", "gT7!rW2#kP9@vN4$zQ6&", Band::VeryGood, true},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const auto estimate = strength::EstimatePassword(row.password);
        ASSERT_EQ(estimate.has_value(), row.band.has_value());
        if (!estimate) {
            continue;
        }
        EXPECT_EQ(estimate->band, *row.band);
        EXPECT_EQ(estimate->band, strength::BandOf(estimate->bits));
        // A random-looking password never scores below any of its prefixes.
        double previous = 0;
        for (std::size_t length = 1; row.randomLooking && length <= row.password.size(); ++length) {
            const double bits = strength::EstimatePassword(row.password.substr(0, length))->bits;
            EXPECT_GE(bits, previous) << length;
            previous = bits;
        }
    }
}

} // namespace
