#include "tavopus/VirtualBackend.h"

#include "tavopus/LabelImage.h"
#include "tavopus/VirtualLink.h"
#include "files/DotsPng.h"
#include "files/FileWriter.h"
#include "tavopus/tavopus.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace tavopus {
namespace {

constexpr const char* kUnplugged = "unplugged";
constexpr const char* kSilent = "silent";
constexpr const char* kStalled = "stalled";

bool Taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

VirtualBackend::VirtualBackend(std::string folder, Settings& settings)
    : folder_(std::move(folder))
    , settings_(settings) {
    // A missing folder is made; anything else already there is left as it is.
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::symlink_status(folder_, ignored)))
        files::CreateFolder(folder_);
}

VirtualBackend::~VirtualBackend() {
    if (watch_ >= 0)
        ::close(watch_);
}

std::optional<std::string> VirtualBackend::Find(std::int32_t number) {
    if (number != kNumber || !Present())
        return std::nullopt;
    return "ORBEK virtual label printer";
}

std::unique_ptr<Link> VirtualBackend::Open(std::int32_t number) {
    if (number != kNumber || !Present())
        return nullptr;
    return std::make_unique<VirtualLink>(*this);
}

bool VirtualBackend::HasFile(const char* name) const {
    struct stat st {};
    return ::lstat((folder_ + "/" + name).c_str(), &st) == 0;
}

bool VirtualBackend::Present() {
    struct stat st {};
    std::string problem;
    if (::stat(folder_.c_str(), &st) != 0) {
        problem = "を使えません（" + OnceTold::Reason(errno) + "）";
    } else if (!S_ISDIR(st.st_mode)) {
        problem = "はフォルダーではありません";
    } else if (::access(folder_.c_str(), W_OK | X_OK) != 0) {
        problem = "に書き込めません（" + OnceTold::Reason(errno) + "）";
    }
    if (!problem.empty()) {
        settings_.told.Tell("virtual folder " + problem,
                            "仮想ラベルプリンターのフォルダー " + folder_ + " " + problem +
                                "。このユーザーが書き込めるフォルダーになるまで、プリンターは外されているもの"
                                "として扱います。");
        return false;
    }
    return !HasFile(kUnplugged);
}

bool VirtualBackend::Silent() const {
    return HasFile(kSilent);
}

bool VirtualBackend::Stalled() const {
    return HasFile(kStalled);
}

bool VirtualBackend::SaveLabel(const PrinterProtocol::Label& label) {
    const auto picture = files::EncodeDotsPng(UnpackStrips(label.strips), kLabelWidth, kLabelHeight);
    std::error_code error = std::make_error_code(std::errc::not_enough_memory);
    // Both files take one number, the first one free for both.
    for (int tries = 0; !picture.empty() && tries < 10000; ++tries, ++nextLabel_) {
        std::array<char, 32> stem{};
        std::snprintf(stem.data(), stem.size(), "label-%04d", nextLabel_);
        const std::string binName = std::string(stem.data()) + ".bin";
        const std::string pngName = std::string(stem.data()) + ".png";
        if (Taken(folder_ + "/" + binName) || Taken(folder_ + "/" + pngName))
            continue;
        // Both hold the password's label: their owner's alone.
        error = files::CreateNewFiles(folder_, {{binName, AsText(label.raw)}, {pngName, AsText(picture)}},
                                      files::Access::Private);
        if (error != std::errc::file_exists)
            break;
    }
    if (error) {
        settings_.told.Tell("virtual save", "仮想ラベルプリンターはフォルダー " + folder_ +
                                                " にラベルを保存できません（" +
                                                OnceTold::Reason(error.value()) + "）。");
        return false;
    }
    ++nextLabel_;
    return true;
}

int VirtualBackend::NoticeDescriptor() {
    if (watch_ >= 0)
        return watch_;
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0)
        return -1;
    if (inotify_add_watch(watch_, folder_.c_str(),
                          IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                              IN_MOVE_SELF) < 0) {
        ::close(watch_);
        watch_ = -1;
        return -1;
    }
    watchedPresent_ = Present();
    return watch_;
}

void VirtualBackend::Removed(std::vector<Notice>& out) {
    if (!watchedPresent_)
        return;
    watchedPresent_ = false;
    ++generation_;
    out.push_back({TAVOP_DEVICE_REMOVED, kNumber});
    out.push_back({TAVOP_DEVICES_CHANGED, 0});
}

void VirtualBackend::Appeared(std::vector<Notice>& out) {
    if (watchedPresent_)
        return;
    watchedPresent_ = true;
    out.push_back({TAVOP_DEVICES_CHANGED, 0});
}

std::vector<Notice> VirtualBackend::ReadNotices() {
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
    // A lost event (queue overflow), or a change of the folder itself, must
    // not leave the state wrong for good.
    if (Present())
        Appeared(out);
    else
        Removed(out);
    return out;
}

} // namespace tavopus
