// Runs the built q8xj-cli in a folder of its own, with given standard input
// and environment, and collects its exit code and both outputs.
#pragma once

#include "support/TempFolder.h"

#include <map>
#include <string>
#include <vector>

struct CliResult {
    int code = -1; // the exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct CliRunner {
    TempFolder folder{"q8xj-cli-test"};
    // Variables for the runs, an empty value removing one: the program must not need a display.
    std::map<std::string, std::string> env{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};

    CliResult Run(const std::vector<std::string>& arguments, const std::string& input = {}) const;

    // A name in the folder, and whole files of it.
    std::string Path(const std::string& name = ".") const { return (folder / name).string(); }
    std::string ReadFile(const std::string& name) const { return ReadWhole(folder / name); }
    void WriteFile(const std::string& name, const std::string& bytes) const {
        WriteWhole(folder / name, bytes);
    }
};
