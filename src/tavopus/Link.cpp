#include "tavopus/Link.h"

#include "files/System.h"

#include <algorithm>

namespace tavopus {

bool Link::Write(std::span<const std::uint8_t> bytes) {
    if (ended_)
        return false;
    const bool sent = Send(bytes);
    lastWrite_ = Clock::now();
    return sent && !ended_;
}

std::size_t Link::Read(std::span<std::uint8_t> buffer) {
    if (ended_ || buffer.empty())
        return 0;
    const auto received =
        Receive(buffer, lastWrite_ + std::chrono::milliseconds(Environment::Current().ReplyWindowMs()));
    return ended_ ? 0 : received;
}

bool Link::Gone() {
    if (!ended_ && DeviceGone())
        End();
    return ended_;
}

void Link::End() {
    if (ended_)
        return;
    ended_ = true;
    Release();
}

int Link::RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

void Link::Pause(int ms) const {
    if (ms > 0)
        files::System::Current().Poll(nullptr, 0, ms);
}

} // namespace tavopus
