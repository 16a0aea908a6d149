// A limit on work that a library may hold up for minutes: past it the process
// ends with one error line and its exit code, as nothing else stops a call
// that waits inside the library.
#pragma once

#include "cli/ExitCode.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace cli {

class Deadline {
public:
    // From now until this object goes, at most `limit`.
    Deadline(std::chrono::milliseconds limit, std::string message, ExitCode code);
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_watch; // last, so that it starts once the rest is there
};

} // namespace cli
