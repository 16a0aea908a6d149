#include "tavopus/VirtualPrinter.h"

#include "tavopus/tavopus.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace tavopus {
namespace {

constexpr const char* kUnplugged = "unplugged";
constexpr const char* kSilent = "silent";

bool WriteWhole(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Written aside and renamed, so whoever watches the folder never sees half a file.
    auto partial = path;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}

} // namespace

VirtualPrinter::VirtualPrinter(std::string folder)
    : folder_(std::move(folder)) {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    watchedPresent_ = Present();
}

VirtualPrinter::~VirtualPrinter() {
    if (watch_ >= 0)
        ::close(watch_);
}

bool VirtualPrinter::Present() const {
    std::error_code ignored;
    return !std::filesystem::exists(std::filesystem::path(folder_) / kUnplugged, ignored);
}

bool VirtualPrinter::Silent() const {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::path(folder_) / kSilent, ignored);
}

bool VirtualPrinter::SaveLabel(const PrinterProtocol::Label& label) {
    const std::filesystem::path folder(folder_);
    std::error_code ignored;
    for (;; ++nextLabel_) {
        std::array<char, 32> stem{};
        std::snprintf(stem.data(), stem.size(), "label-%04d", nextLabel_);
        const auto png = folder / (std::string(stem.data()) + ".png");
        const auto bin = folder / (std::string(stem.data()) + ".bin");
        if (std::filesystem::exists(png, ignored) || std::filesystem::exists(bin, ignored))
            continue;
        ++nextLabel_;
        return WriteWhole(bin, label.raw) && WriteWhole(png, EncodePng(UnpackStrips(label.strips)));
    }
}

int VirtualPrinter::NoticeDescriptor() {
    if (watch_ >= 0)
        return watch_;
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0)
        return -1;
    if (inotify_add_watch(watch_, folder_.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO) < 0) {
        ::close(watch_);
        watch_ = -1;
        return -1;
    }
    watchedPresent_ = Present();
    return watch_;
}

void VirtualPrinter::Removed(std::vector<Notice>& out) {
    if (!watchedPresent_)
        return;
    watchedPresent_ = false;
    ++generation_;
    out.push_back({TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(kNumber)});
    out.push_back({TAVOP_DEVNODES_CHANGED, 0});
}

void VirtualPrinter::Appeared(std::vector<Notice>& out) {
    if (watchedPresent_)
        return;
    watchedPresent_ = true;
    out.push_back({TAVOP_DEVNODES_CHANGED, 0});
}

std::vector<Notice> VirtualPrinter::ReadNotices() {
    std::vector<Notice> out;
    if (watch_ < 0)
        return out;
    // Events are replayed in order, so an unplug and re-plug between two
    // calls still gives the removal and then the appearance.
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const auto length = ::read(watch_, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const char* name = buffer.data() + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.len == 0 || std::strcmp(name, kUnplugged) != 0)
                continue;
            if (event.mask & (IN_CREATE | IN_MOVED_TO))
                Removed(out);
            else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
                Appeared(out);
        }
    }
    // A lost event (queue overflow) must not leave the state wrong for good.
    if (Present())
        Appeared(out);
    else
        Removed(out);
    return out;
}

} // namespace tavopus
