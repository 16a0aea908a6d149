#include "tavopus/PrinterProtocol.h"

#include <algorithm>
#include <utility>

namespace tavopus {
namespace {

using namespace protocol;

constexpr std::size_t kMaxFrameBytes = kFrameHeader + 0xFFFF;
// Reply to ENQ: the status bytes, all clear.
constexpr std::uint8_t kIdleStatus = 0x00;
constexpr std::uint8_t kBusy = 0x01;

} // namespace

void PrinterProtocol::Feed(std::span<const std::uint8_t> bytes) {
    for (const auto b : bytes)
        Step(b);
}

std::vector<PrinterProtocol::Label> PrinterProtocol::TakeLabels() {
    return std::exchange(finished_, {});
}

void PrinterProtocol::Reply(std::initializer_list<std::uint8_t> bytes) {
    replies_.insert(replies_.end(), bytes.begin(), bytes.end());
}

void PrinterProtocol::Step(std::uint8_t byte) {
    if (raw_.size() >= kMaxRawBytes)
        raw_.clear();
    raw_.push_back(byte);
    switch (state_) {
    case State::Command:
        Command(byte);
        break;
    case State::Escape:
        Escape(byte);
        break;
    case State::Frame:
        FrameByte(byte);
        break;
    }
}

void PrinterProtocol::Command(std::uint8_t byte) {
    switch (byte) {
    case kEsc:
        state_ = State::Escape;
        break;
    case kEnq:
        replies_.insert(replies_.end(), kStatusBytes, kIdleStatus);
        break;
    case kAck:
        Reply({kAck});
        break;
    case kStx:
        frame_.assign(1, byte);
        frameSize_ = receivingImage_ ? kImageFrameBytes : 0;
        state_ = State::Frame;
        break;
    default:
        break; // noise between commands is skipped, as a printer resynchronises
    }
}

void PrinterProtocol::Escape(std::uint8_t byte) {
    state_ = State::Command;
    switch (byte) {
    case kInitialise: // start of a job
        raw_.assign({kEsc, byte});
        receivingImage_ = false;
        jobOpen_ = false;
        strips_ = 0;
        Reply({kAck});
        break;
    case kSetUp: // a setup frame follows
        Reply({kAck});
        break;
    case kImage: // image frames follow
        receivingImage_ = true;
        jobOpen_ = true;
        strips_ = 0;
        Reply({kAck});
        break;
    case kPrint: // print what came
        if (strips_ == kStripCount) {
            label_.raw = raw_;
            finished_.push_back(label_);
            label_ = {};
        }
        receivingImage_ = false;
        jobOpen_ = false;
        strips_ = 0;
        Reply({kAck});
        break;
    case kStatus: // status: finished once the label after ESC G has been printed
        Reply({jobOpen_ ? kBusy : kAck});
        break;
    default:
        break;
    }
}

void PrinterProtocol::FrameByte(std::uint8_t byte) {
    frame_.push_back(byte);
    if (frameSize_ == 0 && frame_.size() == kFrameHeader)
        frameSize_ =
            std::min(kFrameHeader + (std::size_t{frame_[2]} | std::size_t{frame_[3]} << 8), kMaxFrameBytes);
    if (frameSize_ == 0 || frame_.size() < frameSize_)
        return;
    state_ = State::Command;
    if (receivingImage_) {
        std::copy_n(frame_.begin() + kFrameHeader, kStripBytes,
                    label_.strips.begin() + strips_ * static_cast<std::ptrdiff_t>(kStripBytes));
        if (++strips_ == kStripCount)
            receivingImage_ = false;
    }
    Reply({kAck});
}

} // namespace tavopus
