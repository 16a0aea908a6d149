// The state and every step that the window and the command-line tool share:
// the conversion table and its file, the phrase and its limit, the options,
// the random source, the password with the steps that made it and the notice
// of skipped characters, its strength, and the typing trial. Qt-free: the
// window sets it from its controls and draws from it; the command line drives it.
#pragma once

#include "convert/Conversion.h"
#include "platform/CrtRandom.h"
#include "platform/FieldLimit.h"
#include "strength/PasswordStrength.h"
#include "table/ConversionTable.h"
#include "table/TableFile.h"
#include "typing/TypingTrial.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

class PasswordModel {
public:
    explicit PasswordModel(std::filesystem::path tableFile = kTableFileName);

    // --- The table and its file ---
    ConversionTable& Table() { return m_table; }
    const ConversionTable& Table() const { return m_table; }
    const std::filesystem::path& TableFile() const { return m_tableFile; }

    // At start-up: the table file, or the defaults when there is none. A file
    // that cannot be read leaves the defaults for this run and is reported
    // through the result; the file itself stays as it is.
    LoadResult LoadTable();

    // What the editor's Cancel does: the table again from the file, or the
    // defaults when there is none. A file that cannot be read leaves the maps empty.
    LoadResult ReloadTable();

    // Writes the table to the table file, whole or not at all.
    std::error_code SaveTable() const;

    // Removes the table file (only the one the program wrote) and takes the
    // defaults. On failure the table and the file stay as they were.
    std::error_code RestoreDefaults();

    // Whether the table has entries for the options that need them; an empty
    // map cannot be used.
    bool CanUseDigits() const { return !m_table.digits.empty(); }
    bool CanUseSymbols() const { return !m_table.symbols.empty(); }

    // --- The conversion ---
    // The katakana field's text. Text the field cannot hold (over its limit,
    // or a character without a form) is refused: the phrase stays as it was.
    FieldLimit::Verdict SetPhrase(std::string phrase);
    const std::string& Phrase() const { return m_phrase; }

    void SetOptions(const ConversionOptions& options) { m_options = options; }
    const ConversionOptions& Options() const { return m_options; }

    // Random case draws its seed from the system's random source at every
    // conversion, so nobody can replay it; a fixed seed only when asked for.
    void SetSeed(std::optional<std::uint32_t> seed) { m_seed = seed; }

    // Converts the phrase with the options. A new password has no typing best time yet.
    const std::string& Convert();

    // A password the user wrote over the converted one: it is the password
    // from now on, made by no steps.
    void SetPassword(std::string password);

    const std::string& Password() const { return m_password; }
    const std::vector<ConversionStep>& Steps() const { return m_steps; }
    // Why characters of the phrase gave nothing; empty when none did.
    std::string SkippedNotice() const;
    // Nothing for an empty password. While the phrase is a suggestion,
    // unchanged, and made the password, the figure of the choice.
    std::optional<strength::Estimate> Strength() const;
    // Whether Strength() is the figure of a suggestion.
    bool StrengthFromSuggestion() const;

    // --- Suggested phrases ---
    // The bits one word of a suggestion adds under the table and options in use.
    double SuggestionBitsPerWord() const;
    // The fewest words that give a strong suggestion, or as many as fit.
    int DefaultSuggestionWords() const;
    // A phrase of `words` familiar words (1 to suggest::MaxWords()) drawn from
    // the system's random source. While it is the phrase, unchanged, its
    // strength is the choice's, SuggestionBits().
    std::string Suggest(int words);
    // The figure of the suggestion that is the phrase now, under the table
    // and options in use; nothing otherwise.
    std::optional<double> SuggestionBits() const;

    // --- The typing trial ---
    TypingTrial& Typing() { return m_typing; }
    const TypingTrial& Typing() const { return m_typing; }
    // Checks `typed` against the password; see TypingTrial::Check.
    bool CheckTyped(std::string_view typed) { return m_typing.Check(m_password, typed); }

private:
    std::filesystem::path m_tableFile;
    ConversionTable m_table;
    std::string m_phrase;
    ConversionOptions m_options;
    std::optional<std::uint32_t> m_seed;
    std::string m_suggestion; // the last suggestion, with its number of words
    int m_suggestionWords = 0;
    bool m_passwordEdited = false;
    std::string m_password;
    std::vector<ConversionStep> m_steps;
    TypingTrial m_typing;
};
