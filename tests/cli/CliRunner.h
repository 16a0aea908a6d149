// Runs the built q8xj-cli in a folder of its own, with given standard input
// and environment, and collects its exit code and both outputs.
#pragma once

#include "support/TempFolder.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct CliResult {
    int code = -1; // the exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

class CliRunner {
public:
    const std::filesystem::path& Folder() const { return m_folder.Path(); }

    // Sets (or, with an empty value, removes) a variable for the runs that follow.
    void SetEnv(const std::string& name, const std::string& value) { m_env[name] = value; }

    CliResult Run(const std::vector<std::string>& arguments, const std::string& input = {}) const;

    // Whole files of the folder.
    std::string ReadFile(const std::string& name) const { return ReadWhole(m_folder / name); }
    void WriteFile(const std::string& name, const std::string& bytes) const {
        WriteWhole(m_folder / name, bytes);
    }

private:
    TempFolder m_folder{"q8xj-cli-test"};
    // Whatever the test machine has, the program must not need a display.
    std::map<std::string, std::string> m_env{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};
};
