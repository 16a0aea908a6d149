// Linked into every test program: a runaway write (a loop that never ends)
// fails with EFBIG at 64 MiB instead of filling the disk until a timeout.
#include <csignal>
#include <sys/resource.h>

namespace {
[[maybe_unused]] const bool kLimited = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 << 20, 64 << 20};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}();
} // namespace
