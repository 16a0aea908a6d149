// One open link to a printer, as a backend makes it. A link ends when its
// device goes away or stops taking bytes; an ended link never works again.
#pragma once

#include "tavopus/Settings.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavopus {

class Link {
public:
    using Clock = std::chrono::steady_clock;

    explicit Link(std::int32_t number)
        : number_(number) {}
    virtual ~Link() = default;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    std::int32_t Number() const { return number_; }
    bool Ended() const { return ended_; }

    // True when every byte went. A device that is gone, or that takes nothing
    // within the write wait, ends the link.
    bool Write(std::span<const std::uint8_t> bytes);
    // Up to buffer.size() bytes into the buffer; the number received. Waits
    // for a reply only until the reply window after the last write closes.
    std::size_t Read(std::span<std::uint8_t> buffer);
    // True when the link's device is gone (an ended link included).
    bool Gone();

protected:
    virtual bool Send(std::span<const std::uint8_t> bytes) = 0;
    virtual std::size_t Receive(std::span<std::uint8_t> buffer, Clock::time_point until) = 0;
    virtual bool DeviceGone() = 0;
    // Gives back what the link holds; called once, when it ends.
    virtual void Release() {}

    void End();
    // Milliseconds left until `deadline`, 0 once it has passed.
    static int RemainingMs(Clock::time_point deadline);
    // A plain pause through files::System, so tests see it.
    void Pause(int ms) const;

private:
    std::int32_t number_;
    bool ended_ = false;
    Clock::time_point lastWrite_{};
};

} // namespace tavopus
