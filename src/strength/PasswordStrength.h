// How many guesses a password would take, as bits (log2 of the estimated
// guesses) and a quality band. The estimate knows common words, keyboard
// patterns, repeats and sequences, but not the phrase scheme or the
// conversion table: it is an upper bound for an attacker who knows those.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace strength {

enum class Band { VeryWeak, Weak, Good, VeryGood };

struct Estimate {
    double bits = 0; // log2 of the estimated guesses
    Band band = Band::VeryWeak;
};

// The band for an unrounded figure: below 40 bits, below 75, below 100, and above.
Band BandOf(double bits);

// The band's name.
std::string BandName(Band band);

// Nothing for an empty password.
std::optional<Estimate> EstimatePassword(std::string_view password);

// One line for the window: "強度: 弱い（約 38 ビット）".
std::string DescribeEstimate(const Estimate& estimate);

} // namespace strength
