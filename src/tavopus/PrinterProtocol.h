// The printer's side of the label protocol, for the virtual printer: takes
// the bytes the program sends, queues the replies a printer gives and
// collects each finished label.
#pragma once

#include "tavopus/LabelImage.h"

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace tavopus {

class PrinterProtocol {
public:
    // Bytes kept for the raw file of a label; what comes without ESC I is dropped past this.
    static constexpr std::size_t kMaxRawBytes = 1 << 20;

    struct Label {
        std::vector<std::uint8_t> raw; // from ESC I to ESC N, as sent
        std::array<std::uint8_t, kStripCount * kStripBytes> strips{};
    };

    void Feed(std::span<const std::uint8_t> bytes);

    // Replies waiting to be read, oldest first.
    std::deque<std::uint8_t>& Replies() { return replies_; }
    // Labels finished since the last call.
    std::vector<Label> TakeLabels();

private:
    enum class State { Command, Escape, Frame };

    void Step(std::uint8_t byte);
    void Command(std::uint8_t byte);
    void Escape(std::uint8_t byte);
    void FrameByte(std::uint8_t byte);
    void Reply(std::initializer_list<std::uint8_t> bytes);

    State state_ = State::Command;
    bool receivingImage_ = false; // image frames are fixed-size
    bool jobOpen_ = false;        // from ESC G until ESC N
    int strips_ = 0;
    std::vector<std::uint8_t> frame_;
    std::size_t frameSize_ = 0; // 0 while the header is still coming
    std::vector<std::uint8_t> raw_;
    Label label_;
    std::deque<std::uint8_t> replies_;
    std::vector<Label> finished_;
};

} // namespace tavopus
