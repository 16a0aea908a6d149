#include "tavopus/KernelLink.h"

#include "files/System.h"

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace tavopus {
namespace {

// While the device reports an error and writes say "try again", poll() would
// return at once; the write loop pauses this long between tries instead.
constexpr int kErrorRetryMs = 50;

bool LinkEndingError(int error) {
    return error == ENODEV || error == EIO || error == ENXIO;
}

constexpr short kHangUp = POLLHUP | POLLNVAL;

} // namespace

KernelLink::KernelLink(std::int32_t number, int fd)
    : Link(number)
    , fd_(fd) {
    struct stat dir {};
    if (::stat(ClassDir(number).c_str(), &dir) == 0)
        sysfsNode_ = dir.st_ino;
}

KernelLink::~KernelLink() {
    End();
}

void KernelLink::Release() {
    if (fd_ >= 0)
        files::System::Current().Close(fd_);
    fd_ = -1;
}

bool KernelLink::DeviceGone() {
    pollfd probe{fd_, 0, 0};
    if (files::System::Current().Poll(&probe, 1, 0) > 0 && (probe.revents & (kHangUp | POLLERR)))
        return true;
    // A device plugged in again gets a new sysfs node even under the same number.
    struct stat dir {};
    return ::stat(ClassDir(Number()).c_str(), &dir) != 0 || dir.st_ino != sysfsNode_;
}

bool KernelLink::Send(std::span<const std::uint8_t> bytes) {
    auto& sys = files::System::Current();
    const auto deadline = Clock::now() + std::chrono::milliseconds(Environment::Current().WriteWaitMs());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto n =
            files::Uninterrupted([&] { return sys.Write(fd_, bytes.data() + sent, bytes.size() - sent); });
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const int error = n < 0 ? errno : EAGAIN;
        if (LinkEndingError(error)) {
            End();
            return false;
        }
        if (error != EAGAIN && error != EWOULDBLOCK)
            return false;
        const int left = RemainingMs(deadline);
        if (left == 0) {
            // A printer that takes nothing for this long is treated as gone:
            // the rest of a job would only wait as long again for each write.
            End();
            return false;
        }
        pollfd wait{fd_, POLLOUT, 0};
        const int ready = sys.Poll(&wait, 1, left);
        if (ready > 0 && (wait.revents & kHangUp)) {
            End();
            return false;
        }
        if (ready > 0 && (wait.revents & POLLERR) && !(wait.revents & POLLOUT))
            Pause(std::min(left, kErrorRetryMs));
    }
    return true;
}

std::size_t KernelLink::Receive(std::span<std::uint8_t> buffer, Clock::time_point until) {
    auto& sys = files::System::Current();
    for (;;) {
        pollfd wait{fd_, POLLIN, 0};
        const int ready = files::Uninterrupted([&] { return sys.Poll(&wait, 1, RemainingMs(until)); });
        if (ready <= 0)
            return 0;
        const auto n = files::Uninterrupted([&] { return sys.Read(fd_, buffer.data(), buffer.size()); });
        if (n > 0)
            return static_cast<std::size_t>(n);
        const int error = n < 0 ? errno : 0;
        // End of file with a hang-up is how a terminal-like node reports a vanished device.
        if ((n == 0 && (wait.revents & POLLHUP)) || (n < 0 && LinkEndingError(error))) {
            End();
            return 0;
        }
        // Readable yet nothing to read: the device reports an error. Sit out the
        // rest of the window rather than asking again at once.
        Pause(RemainingMs(until));
        return 0;
    }
}

} // namespace tavopus
