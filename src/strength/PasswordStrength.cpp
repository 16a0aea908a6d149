#include "strength/PasswordStrength.h"

#include <dlfcn.h>
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

LoadedEstimator::LoadedEstimator(const char* name)
    : m_name(name) {}

std::optional<double> LoadedEstimator::Bits(const char* password) {
    if (!m_tried) {
        m_tried = true;
        // Never closed: the word lists stay for the next password.
        if (void* library = dlopen(m_name, RTLD_NOW | RTLD_LOCAL)) {
            m_match = dlsym(library, "ZxcvbnMatch");
        }
    }
    if (m_match == nullptr) {
        return std::nullopt;
    }
    // The header's declaration gives the type the symbol is called as.
    return reinterpret_cast<decltype(&ZxcvbnMatch)>(m_match)(password, nullptr, nullptr);
}

namespace {

Estimator* g_replacement = nullptr;

} // namespace

Estimator& Estimator::Current() {
    static LoadedEstimator library(kLibrary);
    return g_replacement != nullptr ? *g_replacement : library;
}

void Estimator::Replace(Estimator* replacement) {
    g_replacement = replacement;
}

std::optional<Estimate> EstimatePassword(std::string_view password) {
    if (password.empty()) {
        return std::nullopt;
    }
    // The estimator reads a C string: a copy ends it where the password ends.
    const std::string text(password);
    const std::optional<double> bits = Estimator::Current().Bits(text.c_str());
    if (!bits) {
        return std::nullopt;
    }
    return Estimate{*bits, BandOf(*bits)};
}

std::string DescribeEstimate(const Estimate& estimate, bool fromSuggestion) {
    const long rounded = std::lround(estimate.bits);
    return std::string("強度: ") + BandName(estimate.band) + std::string("（約 ") + std::to_string(rounded) +
           std::string(fromSuggestion ? " ビット、提案の選び方による）" : " ビット）");
}

} // namespace strength
