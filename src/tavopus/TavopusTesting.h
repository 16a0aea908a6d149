// Hooks for the library's own tests: where the kernel's files live, the
// system calls used on device nodes, the waits, and a fresh start.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <functional>
#include <string>

namespace tavopus::testing {

struct SystemCalls {
    std::function<int(const char* path, int flags)> open;
    std::function<ssize_t(int fd, void* buffer, size_t count)> read;
    std::function<ssize_t(int fd, const void* bytes, size_t count)> write;
    std::function<int(pollfd* fds, nfds_t count, int timeoutMs)> poll;
    std::function<int(int fd)> close;
};

// The real calls, for hooks that wrap them.
SystemCalls RealSystemCalls();

// Forgets every link, registration and told message, and reads the
// environment again; the settings below go back to the real ones.
// A pause inside the library is a poll() of no descriptors, so a hooked
// poll sees it too.
void Reset();
void SetRoots(std::string sysfsRoot, std::string devRoot);
void SetSystemCalls(SystemCalls calls);
// How long a reply is waited for after a write, and how long a write may
// wait for the device to take its bytes before the link ends.
void SetTimeouts(int replyWindowMs, int writeMs);

} // namespace tavopus::testing
