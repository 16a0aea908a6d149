#include "tavopus/VirtualLink.h"

#include <algorithm>

namespace tavopus {
namespace {

// How often a blocked write looks whether the printer is still stalled.
constexpr int kStallCheckMs = 20;

} // namespace

bool VirtualLink::DeviceGone() {
    return !printer_.Present() || generation_ != printer_.Generation();
}

bool VirtualLink::AliveOrEnd() {
    if (DeviceGone())
        End();
    return !Ended();
}

bool VirtualLink::Send(std::span<const std::uint8_t> bytes) {
    if (!AliveOrEnd())
        return false;
    // A stalled printer takes nothing, as a real one whose writes keep saying
    // "try again"; it is given the same time before the link ends.
    const auto deadline = Clock::now() + std::chrono::milliseconds(Environment::Current().WriteWaitMs());
    while (printer_.Stalled()) {
        const int left = RemainingMs(deadline);
        if (left == 0) {
            End();
            return false;
        }
        Pause(std::min(left, kStallCheckMs));
    }
    protocol_.Feed(bytes);
    if (printer_.Silent())
        protocol_.Replies().clear();
    for (const auto& label : protocol_.TakeLabels()) {
        // A printer that cannot keep its labels is of no use: the program must
        // not report a label done that was never saved.
        if (!printer_.SaveLabel(label)) {
            End();
            return false;
        }
    }
    return true;
}

std::size_t VirtualLink::Receive(std::span<std::uint8_t> buffer, Clock::time_point until) {
    if (!AliveOrEnd())
        return 0;
    auto& replies = protocol_.Replies();
    if (replies.empty()) {
        // Nothing more comes: wait as a real printer's read would.
        Pause(RemainingMs(until));
        return 0;
    }
    const auto received = std::min(buffer.size(), replies.size());
    std::copy_n(replies.begin(), received, buffer.begin());
    replies.erase(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(received));
    return received;
}

} // namespace tavopus
