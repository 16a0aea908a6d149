#include "cli/Deadline.h"

#include "cli/Terminal.h"

#include <cstdlib>

namespace cli {

Deadline::Deadline(std::chrono::milliseconds limit, std::string message, ExitCode code)
    : m_watch([this, limit, message = std::move(message), code] {
        std::unique_lock lock(m_mutex);
        if (!m_finished.wait_for(lock, limit, [this] { return m_done; })) {
            Error(message);
            std::_Exit(code);
        }
    }) {}

Deadline::~Deadline() {
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_one();
    m_watch.join();
}

} // namespace cli
