#include "model/PasswordModel.h"

#include "files/FileWriter.h"
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

std::error_code PasswordModel::RemoveTableFile() const {
    return files::RemoveTableFile(m_tableFile.string());
}

const std::string& PasswordModel::Convert(CrtRandom& random, std::uint32_t seed) {
    if (m_options.randomCase) {
        random.srand(seed);
    }
    m_steps.clear();
    m_password = ConvertKatakana(m_phrase, m_table, m_options, random, &m_steps);
    m_typing.NewPassword();
    return m_password;
}

std::string PasswordModel::SkippedNotice() const {
    return ::SkippedNotice(m_phrase, m_steps);
}
