// Turns romaji typed one key at a time into full-width katakana, as an input
// method in full-width katakana mode does. Keys that may still grow into a
// longer rule stay pending; the caller shows them and commits what comes out.
// Nothing that comes out is ever a single-byte character.
#pragma once

#include <string>

class RomajiComposer {
public:
    // Whether the composer types the key: printable ASCII, given a full-width
    // result. Other keys are not its business (Feed ignores them).
    static bool Takes(char key);

    // Feeds one key; upper-case letters count as lower case. Returns the text
    // to commit, often empty; Pending() tells what waits. A key
    // no rule can use first commits what waits, then takes its full-width form.
    std::string Feed(char key);

    // Ends the composition: a pending rule of its own (a lone n) gives its kana,
    // other pending letters their full-width forms.
    std::string Flush();

    // Removes the last pending key; false when nothing was pending.
    bool Backspace();

    // Drops the pending keys unused; false when nothing was pending.
    bool Drop();

    // The pending keys, lower case, at most three.
    const std::string& Pending() const { return m_pending; }
    bool HasPending() const { return !m_pending.empty(); }

private:
    // Applies the rules to `keys`; false when no rule begins with them.
    bool Resolve(const std::string& keys, std::string& out);

    std::string m_pending;
};
