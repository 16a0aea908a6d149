#include "model/PasswordModel.h"

#include "files/FileWriter.h"
#include "suggest/Suggestion.h"
#include "table/DefaultTable.h"

PasswordModel::PasswordModel(std::filesystem::path tableFile)
    : m_tableFile(std::move(tableFile)) {}

LoadResult PasswordModel::LoadTable() {
    m_table.clear();
    const LoadResult loaded = LoadConversionTable(m_table, m_tableFile);
    if (loaded.source == LoadResult::Source::Failed) {
        FillDefaultTable(m_table);
    }
    return loaded;
}

LoadResult PasswordModel::ReloadTable() {
    m_table.clear();
    return LoadConversionTable(m_table, m_tableFile);
}

std::error_code PasswordModel::SaveTable() const {
    return SaveConversionTable(m_table, m_tableFile);
}

std::error_code PasswordModel::RestoreDefaults() {
    if (const std::error_code error = files::RemoveTableFile(m_tableFile.string())) {
        return error;
    }
    m_table.clear();
    FillDefaultTable(m_table);
    return {};
}

FieldLimit::Verdict PasswordModel::SetPhrase(std::string phrase) {
    const FieldLimit::Verdict verdict = kPhraseLimit.Check(phrase);
    if (verdict == FieldLimit::Verdict::Fits) {
        m_phrase = std::move(phrase);
    }
    return verdict;
}

const std::string& PasswordModel::Convert() {
    CrtRandom& random = ProcessRandom();
    if (m_options.randomCase) {
        random.srand(m_seed ? *m_seed : RandomSource::Current().Next());
    }
    m_steps.clear();
    m_password = ConvertKatakana(m_phrase, m_table, m_options, random, &m_steps);
    m_passwordEdited = false;
    m_typing.NewPassword();
    return m_password;
}

void PasswordModel::SetPassword(std::string password) {
    if (password != m_password) {
        m_password = std::move(password);
        m_steps.clear();
        m_passwordEdited = true;
    }
}

double PasswordModel::SuggestionBitsPerWord() const {
    return suggest::BitsPerWord(m_table, m_options);
}

int PasswordModel::DefaultSuggestionWords() const {
    return suggest::DefaultWords(SuggestionBitsPerWord());
}

std::string PasswordModel::Suggest(int words) {
    m_suggestion = suggest::Phrase(words, RandomSource::Current());
    m_suggestionWords = words;
    return m_suggestion;
}

std::optional<double> PasswordModel::SuggestionBits() const {
    if (m_suggestion.empty() || m_phrase != m_suggestion) {
        return std::nullopt;
    }
    return m_suggestionWords * SuggestionBitsPerWord();
}

bool PasswordModel::StrengthFromSuggestion() const {
    return !m_password.empty() && !m_passwordEdited && SuggestionBits().has_value();
}

std::optional<strength::Estimate> PasswordModel::Strength() const {
    if (StrengthFromSuggestion()) {
        const double bits = *SuggestionBits();
        return strength::Estimate{bits, strength::BandOf(bits)};
    }
    return strength::EstimatePassword(m_password);
}

std::string PasswordModel::SkippedNotice() const {
    return ::SkippedNotice(m_phrase, m_steps);
}
