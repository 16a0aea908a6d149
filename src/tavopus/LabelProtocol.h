// What the program and the printer agree on: the label's size in dots, how it
// is cut into strips, the command bytes and frames of a job, and the device
// numbers a printer may answer at. Both sides of the link read them here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavopus {

inline constexpr int kLabelWidth = 384;
inline constexpr int kLabelHeight = 64;
inline constexpr int kStripWidth = 128;
inline constexpr int kStripCount = kLabelWidth / kStripWidth;
inline constexpr std::size_t kStripBytes = kStripWidth * kLabelHeight / 8; // 1024
inline constexpr std::size_t kLabelDots = std::size_t{kLabelWidth} * kLabelHeight;

// Device numbers run from 0 to this; a device name takes at most
// kDeviceNameBytes with its NUL.
inline constexpr std::int32_t kLastDeviceNumber = 126;
inline constexpr std::size_t kDeviceNameBytes = 256;

namespace protocol {

inline constexpr std::uint8_t kStx = 0x02, kEnq = 0x05, kAck = 0x06, kEsc = 0x1B;
// The letters after ESC.
inline constexpr std::uint8_t kInitialise = 'I', kSetUp = 'P', kImage = 'G', kPrint = 'N', kStatus = 'B';
// Reply to ENQ: this many status bytes.
inline constexpr std::size_t kStatusBytes = 8;
// A frame: STX, a flag (0x80 on the last frame), a little-endian length, the payload.
inline constexpr std::size_t kFrameHeader = 4;
inline constexpr std::uint8_t kLastFrame = 0x80;
// An image frame is its header, one packed strip and padding to pieces of 64.
inline constexpr std::size_t kImagePiece = 64;
inline constexpr std::size_t kImageFrameBytes = 1088;
static_assert(kImageFrameBytes % kImagePiece == 0 && kImageFrameBytes >= kFrameHeader + kStripBytes);

// The setup frame: length 12; the payload as little-endian words: 0, strip
// size 1024, height 64, 32, all strips 3072, 0.
inline constexpr std::array<std::uint8_t, 16> kSetupFrame{
    kStx, kLastFrame, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40, 0x00, 0x20, 0x00, 0x00, 0x0C, 0x00, 0x00};

} // namespace protocol
} // namespace tavopus
