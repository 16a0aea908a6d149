// The link library's entry points, the table of open links and the kernel
// backend; the virtual printer stands in when TAVOPUS_VIRTUAL names a folder.
#include "tavopus/tavopus.h"

#include "tavopus/DeviceId.h"
#include "tavopus/PrinterProtocol.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/VirtualPrinter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace tavopus {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kLastNumber = 126;
constexpr std::size_t kNameBytes = 256;
// A print job reads a few hundred times while a printer stays silent; a short
// wait keeps that to seconds instead of minutes. Loops that wait for an
// acknowledgement read again anyway.
constexpr int kReadWaitMs = 20;
constexpr int kWriteWaitMs = 2000;

struct Link {
    std::int32_t number = 0;
    bool dead = false;
    int fd = -1;
    ino_t sysfsNode = 0;                      // which plug-in of the device the link was made to
    std::unique_ptr<PrinterProtocol> printer; // the virtual printer's side
    unsigned generation = 0;
};

class Library {
public:
    Library() { ReadEnvironment(); }
    ~Library() { CloseAll(); }

    std::mutex mutex;

    void ResetForTests();
    void SetRoots(std::string sysfs, std::string dev) {
        sysfsRoot_ = std::move(sysfs);
        devRoot_ = std::move(dev);
    }
    void SetCalls(testing::SystemCalls calls) { calls_ = std::move(calls); }
    void SetTimeouts(int readMs, int writeMs) {
        readWaitMs_ = readMs;
        writeWaitMs_ = writeMs;
    }

    void Register(std::uint32_t window) { window_ = window; }
    void Unregister() {
        window_ = 0;
        notices_.clear();
    }

    bool CheckActive(std::int32_t number, char* name);
    bool Start(std::uint32_t* handle, std::int32_t number);
    void End(std::uint32_t handle);
    bool IsMyRemovedDevice(std::uint32_t handle, std::uint32_t word);
    bool Write(std::uint32_t handle, const std::uint8_t* bytes, std::uint32_t count);
    bool Read(std::uint32_t handle, std::uint8_t* buffer, std::uint32_t* count);
    int NoticeDescriptor() { return virtual_ ? virtual_->NoticeDescriptor() : -1; }
    bool TakeNotice(std::uint32_t* event, std::uint32_t* word);

private:
    void ReadEnvironment();
    void CloseAll();
    void TellOnce(const std::string& key, const std::string& text);
    Link* Live(std::uint32_t handle);
    void EndLink(Link& link);

    std::optional<DeviceId> KernelPrinterAt(std::int32_t number) const;
    std::string ClassDir(std::int32_t number) const {
        return sysfsRoot_ + "/class/usbmisc/lp" + std::to_string(number);
    }
    std::string NodePath(std::int32_t number) const { return devRoot_ + "/usb/lp" + std::to_string(number); }
    bool KernelStart(Link& link);
    bool KernelGone(Link& link);
    bool KernelWrite(Link& link, const std::uint8_t* bytes, std::uint32_t count);
    bool KernelRead(Link& link, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& received);
    bool VirtualAlive(Link& link);
    bool VirtualWrite(Link& link, const std::uint8_t* bytes, std::uint32_t count);

    std::string sysfsRoot_ = "/sys";
    std::string devRoot_ = "/dev";
    testing::SystemCalls calls_ = testing::RealSystemCalls();
    int readWaitMs_ = kReadWaitMs;
    int writeWaitMs_ = kWriteWaitMs;

    std::unique_ptr<VirtualPrinter> virtual_;
    std::uint32_t window_ = 0;
    std::deque<Notice> notices_;
    std::map<std::uint32_t, Link> links_;
    std::uint32_t nextHandle_ = 1;
    std::set<std::string> told_;
};

Library& TheLibrary() {
    static Library library;
    return library;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

bool LinkEndingError(int error) {
    return error == ENODEV || error == EIO || error == ENXIO;
}

void Library::ReadEnvironment() {
    const char* folder = std::getenv("TAVOPUS_VIRTUAL");
    if (folder != nullptr && *folder != '\0')
        virtual_ = std::make_unique<VirtualPrinter>(folder);
}

void Library::CloseAll() {
    for (auto& [handle, link] : links_)
        EndLink(link);
    links_.clear();
}

void Library::ResetForTests() {
    CloseAll();
    calls_ = testing::RealSystemCalls();
    sysfsRoot_ = "/sys";
    devRoot_ = "/dev";
    readWaitMs_ = kReadWaitMs;
    writeWaitMs_ = kWriteWaitMs;
    virtual_.reset();
    window_ = 0;
    notices_.clear();
    told_.clear();
    ReadEnvironment();
}

void Library::TellOnce(const std::string& key, const std::string& text) {
    if (told_.insert(key).second)
        std::fprintf(stderr, "%s\n", text.c_str());
}

Link* Library::Live(std::uint32_t handle) {
    const auto found = links_.find(handle);
    if (found == links_.end() || found->second.dead)
        return nullptr;
    return &found->second;
}

void Library::EndLink(Link& link) {
    if (link.fd >= 0)
        calls_.close(link.fd);
    link.fd = -1;
    link.dead = true;
}

// Kernel backend ------------------------------------------------------------

std::optional<DeviceId> Library::KernelPrinterAt(std::int32_t number) const {
    // The id is read from sysfs, so no printer but ours is ever opened.
    std::ifstream file(ClassDir(number) + "/device/ieee1284_id");
    std::string id;
    if (!file || !std::getline(file, id))
        return std::nullopt;
    const auto parsed = ParseDeviceId(id);
    struct stat node {};
    if (!IsLabelPrinter(parsed) || ::stat(NodePath(number).c_str(), &node) != 0)
        return std::nullopt;
    return parsed;
}

bool Library::KernelStart(Link& link) {
    const auto path = NodePath(link.number);
    link.fd = calls_.open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (link.fd >= 0) {
        struct stat dir {};
        if (::stat(ClassDir(link.number).c_str(), &dir) == 0)
            link.sysfsNode = dir.st_ino;
        return true;
    }
    const int error = errno;
    if (error == EACCES || error == EPERM)
        TellOnce("access " + path, "The label printer at " + path +
                                       " may not be opened by this user. Install the udev rule "
                                       "70-q8xj-label-printer.rules (see README) and plug the printer in "
                                       "again, or ask the administrator for access.");
    else if (error == EBUSY)
        TellOnce("busy " + path,
                 "The label printer at " + path +
                     " is in use by another program, perhaps a print spooler. Stop that "
                     "program or its queue for this printer, then plug the printer in again.");
    return false;
}

bool Library::KernelGone(Link& link) {
    if (link.dead)
        return true;
    pollfd probe{link.fd, 0, 0};
    if (calls_.poll(&probe, 1, 0) > 0 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return true;
    // A device plugged in again gets a new sysfs node even under the same number.
    struct stat dir {};
    return ::stat(ClassDir(link.number).c_str(), &dir) != 0 || dir.st_ino != link.sysfsNode;
}

bool Library::KernelWrite(Link& link, const std::uint8_t* bytes, std::uint32_t count) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeWaitMs_);
    std::uint32_t sent = 0;
    while (sent < count) {
        const auto n = calls_.write(link.fd, bytes + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::uint32_t>(n);
            continue;
        }
        const int error = n < 0 ? errno : EAGAIN;
        if (error == EINTR)
            continue;
        if (LinkEndingError(error)) {
            EndLink(link);
            return false;
        }
        if (error != EAGAIN && error != EWOULDBLOCK)
            return false;
        const int left = RemainingMs(deadline);
        if (left == 0)
            return false;
        pollfd wait{link.fd, POLLOUT, 0};
        calls_.poll(&wait, 1, left);
    }
    return true;
}

bool Library::KernelRead(Link& link, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& received) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(readWaitMs_);
    for (;;) {
        pollfd wait{link.fd, POLLIN, 0};
        const int ready = calls_.poll(&wait, 1, RemainingMs(deadline));
        if (ready > 0) {
            const auto n = calls_.read(link.fd, buffer, count);
            if (n > 0) {
                received = static_cast<std::uint32_t>(n);
                return true;
            }
            // End of file with a hang-up is how a terminal-like node reports a vanished device.
            if (n == 0 && (wait.revents & POLLHUP) == 0)
                return false;
            if (n == 0 || LinkEndingError(errno)) {
                EndLink(link);
                return false;
            }
        }
        if (ready < 0 && errno != EINTR)
            return false;
        if (RemainingMs(deadline) == 0)
            return false;
    }
}

// Virtual backend -----------------------------------------------------------

bool Library::VirtualAlive(Link& link) {
    if (!link.dead && (!virtual_->Present() || link.generation != virtual_->Generation()))
        EndLink(link);
    return !link.dead;
}

bool Library::VirtualWrite(Link& link, const std::uint8_t* bytes, std::uint32_t count) {
    if (!VirtualAlive(link))
        return false;
    link.printer->Feed({bytes, count});
    if (virtual_->Silent())
        link.printer->Replies().clear();
    for (const auto& label : link.printer->TakeLabels())
        if (!virtual_->SaveLabel(label))
            TellOnce("save", "The virtual label printer cannot save labels in " + virtual_->Folder() + ": " +
                                 std::strerror(errno) + ".");
    return true;
}

// Entry points ----------------------------------------------------------------

bool Library::CheckActive(std::int32_t number, char* name) {
    if (number < 0 || number > kLastNumber || name == nullptr)
        return false;
    std::string found;
    if (virtual_) {
        if (number != VirtualPrinter::kNumber || !virtual_->Present())
            return false;
        found = "ORBEK virtual label printer";
    } else {
        const auto id = KernelPrinterAt(number);
        if (!id)
            return false;
        found = DeviceName(*id);
    }
    found.resize(std::min(found.size(), kNameBytes - 1));
    std::memcpy(name, found.c_str(), found.size() + 1);
    return true;
}

bool Library::Start(std::uint32_t* handle, std::int32_t number) {
    if (handle == nullptr || number < 0 || number > kLastNumber)
        return false;
    Link link;
    link.number = number;
    if (virtual_) {
        if (number != VirtualPrinter::kNumber || !virtual_->Present())
            return false;
        link.printer = std::make_unique<PrinterProtocol>();
        link.generation = virtual_->Generation();
    } else if (!KernelPrinterAt(number) || !KernelStart(link)) {
        return false;
    }
    *handle = nextHandle_++;
    if (nextHandle_ == 0)
        nextHandle_ = 1;
    links_.emplace(*handle, std::move(link));
    return true;
}

void Library::End(std::uint32_t handle) {
    const auto found = links_.find(handle);
    if (found == links_.end())
        return;
    EndLink(found->second);
    links_.erase(found);
}

bool Library::IsMyRemovedDevice(std::uint32_t handle, std::uint32_t word) {
    const auto found = links_.find(handle);
    if (found == links_.end())
        return false;
    auto& link = found->second;
    if (word != TAVOP_NODE_WORD(link.number))
        return false;
    return virtual_ ? !VirtualAlive(link) : KernelGone(link);
}

bool Library::Write(std::uint32_t handle, const std::uint8_t* bytes, std::uint32_t count) {
    Link* link = Live(handle);
    if (link == nullptr || (bytes == nullptr && count != 0))
        return false;
    return virtual_ ? VirtualWrite(*link, bytes, count) : KernelWrite(*link, bytes, count);
}

bool Library::Read(std::uint32_t handle, std::uint8_t* buffer, std::uint32_t* count) {
    if (buffer == nullptr || count == nullptr)
        return false;
    const std::uint32_t wanted = *count;
    std::fill_n(buffer, wanted, 0);
    *count = 0;
    Link* link = Live(handle);
    if (link == nullptr || wanted == 0)
        return false;
    std::uint32_t received = 0;
    if (virtual_) {
        if (!VirtualAlive(*link))
            return false;
        auto& replies = link->printer->Replies();
        received = static_cast<std::uint32_t>(std::min<std::size_t>(wanted, replies.size()));
        std::copy_n(replies.begin(), received, buffer);
        replies.erase(replies.begin(), replies.begin() + received);
    } else if (!KernelRead(*link, buffer, wanted, received)) {
        return false;
    }
    *count = received;
    return received > 0;
}

bool Library::TakeNotice(std::uint32_t* event, std::uint32_t* word) {
    if (event == nullptr || word == nullptr)
        return false;
    if (notices_.empty() && virtual_) {
        // Read even while nobody is registered, so the descriptor goes quiet.
        for (const auto& notice : virtual_->ReadNotices())
            if (window_ != 0)
                notices_.push_back(notice);
    }
    if (notices_.empty())
        return false;
    *event = notices_.front().event;
    *word = notices_.front().word;
    notices_.pop_front();
    return true;
}

std::uint32_t Result(bool success) {
    return success ? 0 : 1;
}

} // namespace

namespace testing {

SystemCalls RealSystemCalls() {
    return {
        [](const char* path, int flags) { return ::open(path, flags); },
        [](int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); },
        [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); },
        [](pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); },
        [](int fd) { return ::close(fd); },
    };
}

void Reset() {
    auto& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    library.ResetForTests();
}

void SetRoots(std::string sysfsRoot, std::string devRoot) {
    auto& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    library.SetRoots(std::move(sysfsRoot), std::move(devRoot));
}

void SetSystemCalls(SystemCalls calls) {
    auto& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    library.SetCalls(std::move(calls));
}

void SetTimeouts(int readMs, int writeMs) {
    auto& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    library.SetTimeouts(readMs, writeMs);
}

} // namespace testing
} // namespace tavopus

using tavopus::TheLibrary;

extern "C" {

uint32_t TavopRegistHandle(uint32_t window) {
    std::lock_guard lock(TheLibrary().mutex);
    TheLibrary().Register(window);
    return 0;
}

uint32_t TavopUnregistHandle(void) {
    std::lock_guard lock(TheLibrary().mutex);
    TheLibrary().Unregister();
    return 0;
}

uint32_t TavopCheckActiveDevice(int32_t number, char* name) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().CheckActive(number, name));
}

uint32_t TavopStartDevice(uint32_t* handle, int32_t number) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().Start(handle, number));
}

uint32_t TavopEndDevice(uint32_t handle) {
    std::lock_guard lock(TheLibrary().mutex);
    TheLibrary().End(handle);
    return 0;
}

uint32_t TavopCheckMyDevice(uint32_t handle, uint32_t word) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().IsMyRemovedDevice(handle, word));
}

uint32_t TavopUsbWrite(uint32_t handle, const void* bytes, uint32_t count) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().Write(handle, static_cast<const std::uint8_t*>(bytes), count));
}

uint32_t TavopUsbRead(uint32_t handle, void* buffer, uint32_t* count) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().Read(handle, static_cast<std::uint8_t*>(buffer), count));
}

int TavopNoticeDescriptor(void) {
    std::lock_guard lock(TheLibrary().mutex);
    return TheLibrary().NoticeDescriptor();
}

uint32_t TavopTakeNotice(uint32_t* event, uint32_t* word) {
    std::lock_guard lock(TheLibrary().mutex);
    return tavopus::Result(TheLibrary().TakeNotice(event, word));
}

} // extern "C"
