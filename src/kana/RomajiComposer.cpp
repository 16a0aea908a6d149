#include "kana/RomajiComposer.h"

#include "kana/FullWidthForms.h"
#include "kana/RomajiRules.h"

#include <algorithm>
#include <string_view>

namespace {

const RomajiRule* FindRule(std::string_view keys) {
    const auto rules = RomajiRules();
    const auto it = std::find_if(rules.begin(), rules.end(),
                                 [keys](const RomajiRule& rule) { return rule.romaji == keys; });
    return it == rules.end() ? nullptr : &*it;
}

// Whether a longer rule begins with `keys`, so that they must wait for more.
bool IsExtended(std::string_view keys) {
    const auto rules = RomajiRules();
    return std::any_of(rules.begin(), rules.end(), [keys](const RomajiRule& rule) {
        return rule.romaji.size() > keys.size() && rule.romaji.starts_with(keys);
    });
}

char Lower(char key) {
    return key >= 'A' && key <= 'Z' ? static_cast<char>(key - 'A' + 'a') : key;
}

// Keys that no rule used, as full-width mode types them.
std::string FullWidth(std::string_view keys) {
    std::string out;
    for (const char key : keys) {
        out += std::string(FullWidthForm(key));
    }
    return out;
}

} // namespace

bool RomajiComposer::Takes(char key) {
    return !FullWidthForm(Lower(key)).empty();
}

std::string RomajiComposer::Feed(char key) {
    if (!Takes(key)) {
        return {};
    }
    key = Lower(key);
    std::string out;
    if (Resolve(m_pending + key, out)) {
        return out;
    }
    // Nothing continues the pending keys: let them go and start afresh.
    out = Flush();
    if (!Resolve(std::string(1, key), out)) {
        out += FullWidth(std::string_view(&key, 1));
    }
    return out;
}

std::string RomajiComposer::Flush() {
    std::string out;
    if (const RomajiRule* rule = FindRule(m_pending)) {
        out = std::string(rule->kana) + FullWidth(rule->carry);
    } else {
        out = FullWidth(m_pending);
    }
    m_pending.clear();
    return out;
}

bool RomajiComposer::Backspace() {
    if (m_pending.empty()) {
        return false;
    }
    m_pending.pop_back();
    return true;
}

bool RomajiComposer::Drop() {
    const bool had = !m_pending.empty();
    m_pending.clear();
    return had;
}

bool RomajiComposer::Resolve(const std::string& keys, std::string& out) {
    if (IsExtended(keys)) {
        m_pending = keys;
        return true;
    }
    if (const RomajiRule* rule = FindRule(keys)) {
        out += std::string(rule->kana);
        m_pending = rule->carry;
        return true;
    }
    return false;
}
