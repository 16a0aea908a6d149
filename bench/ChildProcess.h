// Starting a program as a user starts it, for the benchmarks that measure
// from outside: its own process, a fresh home and configuration folder, a
// working folder of the benchmark's choosing, and a time limit.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench {

inline std::int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The value at or below which `share` of the values lie.
inline double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(values.size()) + 0.999999);
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// A folder of the benchmark's own under /tmp, removed with all it holds.
class TempRoot {
public:
    TempRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "q8xj-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempRoot() {
        std::error_code ignored;
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    bool Ok() const { return !m_path.empty(); }

    // A new empty folder inside, by name.
    std::filesystem::path Folder(const std::string& name) const {
        const std::filesystem::path folder = m_path / name;
        std::filesystem::create_directories(folder);
        return folder;
    }

private:
    std::filesystem::path m_path;
};

// The environment of this process with a fresh home (and configuration,
// cache and data folders inside it) and `extra` set over it.
inline std::vector<std::string> FreshEnvironment(const std::filesystem::path& home,
                                                 const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> values;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos) {
            values[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    std::filesystem::create_directories(home / ".config");
    std::filesystem::create_directories(home / ".runtime");
    std::filesystem::permissions(home / ".runtime", std::filesystem::perms::owner_all);
    values["HOME"] = home.string();
    values["XDG_CONFIG_HOME"] = (home / ".config").string();
    values["XDG_CACHE_HOME"] = (home / ".cache").string();
    values["XDG_DATA_HOME"] = (home / ".local/share").string();
    values["XDG_STATE_HOME"] = (home / ".local/state").string();
    values["XDG_RUNTIME_DIR"] = (home / ".runtime").string();
    for (const auto& [name, value] : extra) {
        values[name] = value;
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : values) {
        result.push_back(name + "=" + value);
    }
    return result;
}

// Starts `program` with `args` in `folder`; -1 when it could not start,
// -2 when it ran past `limitMs` (it is then killed), else its exit status.
// `startNs` is the moment just before the start.
inline int RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& folder, const std::vector<std::string>& environment,
                      std::int64_t& startNs, int limitMs = 30000) {
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStore = environment;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    startNs = MonotonicNs();
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (MonotonicNs() - startNs > static_cast<std::int64_t>(limitMs) * 1000000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        usleep(1000);
    }
}

} // namespace bench
