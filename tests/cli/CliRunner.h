// Runs the built q8xj-cli in a folder of its own, with given standard input
// and environment, and collects its exit code and both outputs.
#pragma once

#include "support/TempFolder.h"

#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <sys/wait.h>

struct CliResult {
    int code = -1; // the exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct CliRunner : TempFolder {
    // Variables for the runs, an empty value removing one: the program must not need a display.
    std::map<std::string, std::string> env{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};

    // A name in the folder.
    std::string Path(const std::string& name = ".") const { return (*this / name).string(); }

    // Through the shell, each argument quoted; exec keeps a signal's end visible (timeout passes it on).
    // `redirect` is shell redirection after the standard ones ("<&-", ">>Q8.xj"); a run that does not end
    // within a minute is stopped, exit code 124.
    CliResult Run(const std::vector<std::string>& arguments, const std::string& input = {},
                  const std::string& redirect = {}) const {
        const auto quote = [](const std::string& text) {
            return "'" + std::regex_replace(text, std::regex("'"), "'\\''") + "'";
        };
        // env takes its removals before its settings.
        std::string command = "cd " + quote(Path()) + " && exec timeout 60 env", settings;
        for (const auto& [name, value] : env) {
            (value.empty() ? command : settings) +=
                value.empty() ? " -u " + name : " " + quote(name + "=" + value);
        }
        command += settings + " " + quote(Q8XJ_CLI);
        for (const std::string& arg : arguments) {
            command += " " + quote(arg);
        }
        // Standard input and the outputs go through files beside the folder, so that it holds only what
        // the run wrote.
        const TempFolder io{"q8xj-cli-io"};
        WriteWhole(io / "in", input);
        command += " <" + quote((io / "in").string()) + " >" + quote((io / "out").string()) + " 2>" +
                   quote((io / "err").string()) + " " + redirect;
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(io / "out"), ReadWhole(io / "err")};
    }
};
