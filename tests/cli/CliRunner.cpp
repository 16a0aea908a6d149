#include "CliRunner.h"

#include <algorithm>
#include <cstdlib>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

CliRunner::CliRunner() {
    // Whatever the test machine has, the program must not need a display.
    SetEnv("DISPLAY", "");
    SetEnv("WAYLAND_DISPLAY", "");
    SetEnv("QT_QPA_PLATFORM", "");
}

void CliRunner::SetEnv(const std::string& name, const std::string& value) {
    std::erase_if(m_env, [&](const auto& var) { return var.first == name; });
    m_env.emplace_back(name, value);
}

CliResult CliRunner::Run(const std::vector<std::string>& arguments, const std::string& input) const {
    WriteFile(".stdin", input);
    const auto in = (m_folder / ".stdin").string();
    const auto out = (m_folder / ".stdout").string();
    const auto err = (m_folder / ".stderr").string();

    // Everything the child needs is prepared before the fork.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string var(*e);
        const std::string name = var.substr(0, var.find('='));
        if (std::none_of(m_env.begin(), m_env.end(), [&](const auto& v) { return v.first == name; })) {
            env.push_back(var);
        }
    }
    for (const auto& [name, value] : m_env) {
        if (!value.empty()) {
            env.push_back(name + "=" + value);
        }
    }
    std::vector<char*> envp;
    for (std::string& var : env) {
        envp.push_back(var.data());
    }
    envp.push_back(nullptr);
    std::string program = Q8XJ_CLI;
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const std::string folder = m_folder.Path().string();

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fdIn = ::open(in.c_str(), O_RDONLY);
        const int fdOut = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int fdErr = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fdIn < 0 || fdOut < 0 || fdErr < 0 || ::dup2(fdIn, 0) < 0 || ::dup2(fdOut, 1) < 0 ||
            ::dup2(fdErr, 2) < 0 || ::chdir(folder.c_str()) != 0) {
            ::_exit(127);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    CliResult result;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.code = WEXITSTATUS(status);
    }
    result.out = ReadFile(".stdout");
    result.err = ReadFile(".stderr");
    std::filesystem::remove(m_folder / ".stdin");
    std::filesystem::remove(m_folder / ".stdout");
    std::filesystem::remove(m_folder / ".stderr");
    return result;
}
