#include "print/LabelPrintJob.h"

#include "platform/Clock.h"

#include <algorithm>

namespace {

using namespace tavopus::protocol;

constexpr std::array<std::uint8_t, 2> kEscI{kEsc, kInitialise};
constexpr std::array<std::uint8_t, 1> kEnqCommand{kEnq};
constexpr std::array<std::uint8_t, 1> kAckCommand{kAck};
constexpr std::array<std::uint8_t, 2> kEscP{kEsc, kSetUp};
constexpr std::array<std::uint8_t, 2> kEscG{kEsc, kImage};
constexpr std::array<std::uint8_t, 2> kEscN{kEsc, kPrint};

constexpr std::uint32_t kMostAckReads = 100;

enum class Action {
    Send,      // bytes
    SendImage, // the image frame of strip `count`
    Wait,      // milliseconds
    Read,      // `count` bytes, not looked at
    AwaitAck,  // up to `count` times: wait `milliseconds` (if any), read 1 byte; stop at 06
    Tell,      // `event`, to the job's observer
};

struct Step {
    Action action;
    std::span<const std::uint8_t> bytes{};
    std::uint32_t milliseconds = 0;
    std::uint32_t count = 0;
    JobEvent event{};
};

constexpr Step Send(std::span<const std::uint8_t> bytes) {
    return {Action::Send, bytes};
}
constexpr Step SendImage(std::uint32_t strip) {
    return {Action::SendImage, {}, 0, strip};
}
constexpr Step Wait(std::uint32_t milliseconds) {
    return {Action::Wait, {}, milliseconds};
}
constexpr Step Read(std::uint32_t count) {
    return {Action::Read, {}, 0, count};
}
constexpr Step AwaitAck(std::uint32_t pauseBeforeEachRead) {
    return {Action::AwaitAck, {}, pauseBeforeEachRead, kMostAckReads};
}
constexpr Step Tell(JobEvent event) {
    return {Action::Tell, {}, 0, 0, event};
}

// clang-format off
constexpr Step kSequence[] = {
    Tell(JobEvent::Initialising),
    Send(kEscI),       Wait(10), Read(1), Wait(10),
    Send(kEnqCommand), Wait(10), Read(kStatusBytes), // the printer's status is not used
    Send(kAckCommand), Wait(10), Read(1),
    Tell(JobEvent::SettingUp),
    Send(kEscP),       Wait(10), Read(1),
    Send(kSetupFrame), Wait(10), Read(1),
    Send(kEscG),       Wait(10), AwaitAck(0),
    SendImage(0),      AwaitAck(50),
    SendImage(1),      AwaitAck(50),
    SendImage(2),      AwaitAck(50),
    Wait(100),         Tell(JobEvent::Ending),
    Send(kEscN),       Wait(150), Read(1),
};
// clang-format on

bool SendImageFrame(PrinterLink& link, const PackedStrip& strip, bool last) {
    std::array<std::uint8_t, kImageFrameBytes> frame{};
    frame[0] = kStx;
    frame[1] = last ? kLastFrame : 0x00;
    frame[2] = static_cast<std::uint8_t>(kStripBytes & 0xFF);
    frame[3] = static_cast<std::uint8_t>(kStripBytes >> 8);
    std::copy(strip.begin(), strip.end(), frame.begin() + kFrameHeader);
    for (std::size_t offset = 0; offset < frame.size(); offset += kImagePiece) {
        if (!link.Write(std::span<const std::uint8_t>(frame).subspan(offset, kImagePiece))) {
            return false;
        }
    }
    return true;
}

// The reply is cleared before every read: a link that receives nothing must not
// leave an earlier 06 behind to be taken for a fresh acknowledgement.
void ReadReply(PrinterLink& link, std::span<std::uint8_t> reply) {
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    link.Read(reply);
}

// Giving up only goes untold: the sequence simply goes on.
bool AwaitAcknowledge(PrinterLink& link, const Step& step) {
    std::array<std::uint8_t, 1> reply{};
    for (std::uint32_t read = 0; read < step.count; ++read) {
        if (step.milliseconds != 0) {
            platform::Clock::Current().Pause(std::chrono::milliseconds(step.milliseconds));
        }
        ReadReply(link, reply);
        if (reply[0] == kAck) {
            return true;
        }
    }
    return false;
}

} // namespace

bool RunLabelPrintJob(PrinterLink& link, const std::array<PackedStrip, kStripCount>& strips,
                      const JobObserver& observe) {
    const auto tell = [&](JobEvent event, int strip) {
        if (observe) {
            observe(event, strip);
        }
    };
    std::array<std::uint8_t, kStatusBytes> reply{};
    int stripSent = 0; // the strip whose acknowledgement is awaited; 0: none
    for (const Step& step : kSequence) {
        switch (step.action) {
        case Action::Send:
            if (!link.Write(step.bytes)) {
                return false;
            }
            break;
        case Action::SendImage:
            stripSent = static_cast<int>(step.count) + 1;
            tell(JobEvent::SendingStrip, stripSent);
            if (!SendImageFrame(link, strips[step.count], step.count + 1 == strips.size())) {
                return false;
            }
            break;
        case Action::Wait:
            platform::Clock::Current().Pause(std::chrono::milliseconds(step.milliseconds));
            break;
        case Action::Read:
            ReadReply(link, std::span(reply).first(step.count));
            break;
        case Action::AwaitAck:
            if (AwaitAcknowledge(link, step) && stripSent != 0) {
                tell(JobEvent::StripAcknowledged, stripSent);
            }
            break;
        case Action::Tell:
            tell(step.event, 0);
            break;
        }
    }
    return true;
}
