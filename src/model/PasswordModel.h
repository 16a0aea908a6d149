// The state and the steps that the window and the command-line tool share:
// the conversion table, the phrase, the options, the password with the steps
// that made it and the notice of skipped characters, its strength, and the
// typing trial. Qt-free: the window shows it, the command line drives it.
#pragma once

#include "convert/Conversion.h"
#include "platform/CrtRandom.h"
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

    // --- The table ---
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

    // Removes the table file (only the one the program wrote); the caller then
    // reloads, which gives the defaults.
    std::error_code RemoveTableFile() const;

    // --- The conversion ---
    void SetPhrase(std::string phrase) { m_phrase = std::move(phrase); }
    const std::string& Phrase() const { return m_phrase; }

    ConversionOptions& Options() { return m_options; }
    const ConversionOptions& Options() const { return m_options; }

    // Converts the phrase with the options. In random case mode `random` is
    // seeded with `seed` first. A new password has no typing best time yet.
    const std::string& Convert(CrtRandom& random, std::uint32_t seed);

    const std::string& Password() const { return m_password; }
    const std::vector<ConversionStep>& Steps() const { return m_steps; }
    // Why characters of the phrase gave nothing; empty when none did.
    std::string SkippedNotice() const;
    // Nothing for an empty password.
    std::optional<strength::Estimate> Strength() const { return strength::EstimatePassword(m_password); }

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
    std::string m_password;
    std::vector<ConversionStep> m_steps;
    TypingTrial m_typing;
};
