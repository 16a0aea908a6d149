#include "cli/WatchedLibrary.h"

#include <cstdint>
#include <span>

namespace cli {
namespace {

bool Starts(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

} // namespace

std::uint32_t WatchedLibrary::UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count) {
    const std::span<const std::uint8_t> sent(static_cast<const std::uint8_t*>(bytes), count);
    // A strip's frame starts 02, flag, 00 04 (1024 bytes follow); the set-up frame has length 12.
    if (Starts(sent, {0x1B, 0x49})) {
        m_stage("プリンターを初期化しています");
    } else if (Starts(sent, {0x1B, 0x50})) {
        m_stage("ラベルを設定しています");
    } else if (sent.size() >= 4 && sent[0] == 0x02 && sent[2] == 0x00 && sent[3] == 0x04) {
        ++m_stripsSent;
        m_awaitingStrip = true;
        m_stage("ストリップ " + std::to_string(m_stripsSent) + "/3 を送っています");
    } else if (Starts(sent, {0x1B, 0x4E})) {
        m_stage("ジョブを終えています");
    }
    return PrinterLibrary::UsbWrite(handle, bytes, count);
}

std::uint32_t WatchedLibrary::UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) {
    const std::uint32_t asked = *count;
    const std::uint32_t result = PrinterLibrary::UsbRead(handle, buffer, count);
    if (m_awaitingStrip && asked == 1 && *count == 1 && *static_cast<const std::uint8_t*>(buffer) == 0x06) {
        m_awaitingStrip = false;
        ++m_acknowledged;
    }
    return result;
}

} // namespace cli
