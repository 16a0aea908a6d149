// Turns romaji typed one key at a time into full-width katakana, as an input
// method in katakana mode does. Keys that may still grow into a longer rule
// stay pending; the caller shows them and commits what comes out.
#pragma once

#include <string>

class RomajiComposer {
public:
    // Whether some rule uses the key (letters, the signs, space, apostrophe).
    static bool Takes(char key);

    // Feeds one ASCII key; upper-case letters count as lower case. Returns the
    // text to commit (code page 932), often empty; Pending() tells what waits.
    std::string Feed(char key);

    // Ends the composition: a pending rule of its own (a lone n) gives its kana,
    // other pending keys are committed as typed.
    std::string Flush();

    // Removes the last pending key; false when nothing was pending.
    bool Backspace();

    // The pending keys, lower case, at most three.
    const std::string& Pending() const { return m_pending; }
    bool HasPending() const { return !m_pending.empty(); }

private:
    // Applies the rules to `keys`; false when no rule begins with them.
    bool Resolve(const std::string& keys, std::string& out);

    std::string m_pending;
};
