// Runs the built q8xj-cli in a folder of its own, with given standard input
// and environment, and collects its exit code and both outputs.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct CliResult {
    int code = -1; // the exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

class CliRunner {
public:
    // A fresh empty folder under the temporary folder; removed with the runner.
    CliRunner();
    ~CliRunner();
    CliRunner(const CliRunner&) = delete;
    CliRunner& operator=(const CliRunner&) = delete;

    const std::filesystem::path& Folder() const { return m_folder; }

    // Sets (or, with an empty value, removes) a variable for the runs that follow.
    void SetEnv(const std::string& name, const std::string& value);

    CliResult Run(const std::vector<std::string>& arguments, const std::string& input = {}) const;

    // Whole files of the folder.
    std::string ReadFile(const std::string& name) const;
    void WriteFile(const std::string& name, const std::string& bytes) const;
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_folder / name); }

private:
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::string>> m_env;
};
