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

// The estimator's one call, a seam in the house style: by default the library
// is loaded the first time a password is estimated (its word lists load with
// it), so start-up pays for neither. A test may put in its own.
class Estimator {
public:
    // The library the default estimator loads, by its run-time name.
    static constexpr const char* kLibrary = "libzxcvbn.so.0";

    virtual ~Estimator() = default;
    // log2 of the guesses for `password` (a C string); nothing when the
    // library cannot be loaded.
    virtual std::optional<double> Bits(const char* password) = 0;

    // The one in use: the library unless a test has put its own in place.
    static Estimator& Current();
    // nullptr puts the library back. The caller keeps `replacement` alive.
    static void Replace(Estimator* replacement);
};

// An estimator on the library `name`, loaded on its first call; a library
// that cannot be loaded gives no figure.
class LoadedEstimator : public Estimator {
public:
    explicit LoadedEstimator(const char* name);
    std::optional<double> Bits(const char* password) override;

private:
    const char* m_name;
    bool m_tried = false;
    void* m_match = nullptr; // the library's ZxcvbnMatch
};

// Nothing for an empty password, or when no estimator can be loaded.
std::optional<Estimate> EstimatePassword(std::string_view password);

// One line for the window: "強度: 弱い（約 38 ビット）"; a figure known from
// how a suggested phrase was chosen says so: "強度: 弱い（約 52 ビット、提案の選び方による）".
std::string DescribeEstimate(const Estimate& estimate, bool fromSuggestion = false);

} // namespace strength
