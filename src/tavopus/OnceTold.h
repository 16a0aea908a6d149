// Messages for the user on standard error, each told once per run: a printer
// that cannot be used is asked about again and again, and one line is enough.
#pragma once

#include <set>
#include <string>

namespace tavopus {

class OnceTold {
public:
    // Writes `text` unless a message with this key was told already.
    void Tell(const std::string& key, const std::string& text);
    void Forget() { told_.clear(); }

private:
    std::set<std::string> told_;
};

} // namespace tavopus
