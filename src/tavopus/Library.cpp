#include "tavopus/Library.h"

#include "tavopus/KernelBackend.h"
#include "tavopus/LabelProtocol.h"
#include "tavopus/VirtualBackend.h"
#include "tavopus/tavopus.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tavopus {
namespace {

bool InRange(std::int32_t number) {
    return number >= 0 && number <= kLastDeviceNumber;
}

} // namespace

Library::~Library() {
    // Links first: they refer to the backend.
    links_.clear();
}

namespace {
const Environment* g_environment = nullptr;
} // namespace

const Environment& Environment::Current() {
    static const Environment real;
    return g_environment != nullptr ? *g_environment : real;
}

void Environment::Replace(const Environment* replacement) {
    g_environment = replacement;
}

Library& Library::Instance() {
    static Library library;
    return library;
}

void Library::ChooseBackend() {
    const char* folder = std::getenv("TAVOPUS_VIRTUAL");
    if (folder != nullptr && *folder != '\0')
        backend_ = std::make_unique<VirtualBackend>(folder, settings_);
    else
        backend_ = std::make_unique<KernelBackend>(settings_);
}

void Library::Reset() {
    links_.clear();
    backend_.reset();
    settings_ = Settings{};
    receiver_ = 0;
    notices_.clear();
    ChooseBackend();
}

void Library::Unregister() {
    receiver_ = 0;
    notices_.clear();
}

Link* Library::Live(std::uint32_t handle) {
    const auto found = links_.find(handle);
    if (found == links_.end() || found->second->Ended())
        return nullptr;
    return found->second.get();
}

bool Library::CheckActive(std::int32_t number, char* name) {
    if (!InRange(number) || name == nullptr)
        return false;
    auto found = backend_->Find(number);
    if (!found)
        return false;
    found->resize(std::min(found->size(), kDeviceNameBytes - 1));
    std::memcpy(name, found->c_str(), found->size() + 1);
    return true;
}

bool Library::Start(std::uint32_t* handle, std::int32_t number) {
    if (handle == nullptr || !InRange(number))
        return false;
    auto link = backend_->Open(number);
    if (!link)
        return false;
    *handle = nextHandle_++;
    if (nextHandle_ == 0)
        nextHandle_ = 1;
    links_[*handle] = std::move(link);
    return true;
}

void Library::End(std::uint32_t handle) {
    links_.erase(handle);
}

bool Library::IsMyRemovedDevice(std::uint32_t handle, std::int32_t number) {
    const auto found = links_.find(handle);
    if (found == links_.end() || number != found->second->Number())
        return false;
    return found->second->Gone();
}

bool Library::Write(std::uint32_t handle, const void* bytes, std::uint32_t count) {
    Link* link = Live(handle);
    if (link == nullptr || (bytes == nullptr && count != 0))
        return false;
    return link->Write({static_cast<const std::uint8_t*>(bytes), count});
}

bool Library::Read(std::uint32_t handle, void* buffer, std::uint32_t* count) {
    if (buffer == nullptr || count == nullptr)
        return false;
    const std::span<std::uint8_t> wanted(static_cast<std::uint8_t*>(buffer), *count);
    std::fill(wanted.begin(), wanted.end(), std::uint8_t{0});
    *count = 0;
    Link* link = Live(handle);
    if (link == nullptr)
        return false;
    *count = static_cast<std::uint32_t>(link->Read(wanted));
    return *count > 0;
}

bool Library::TakeNotice(Notice* taken) {
    if (taken == nullptr)
        return false;
    if (notices_.empty()) {
        // Read even while nobody is registered, so the descriptor goes quiet.
        for (const auto& notice : backend_->ReadNotices())
            if (receiver_ != 0)
                notices_.push_back(notice);
    }
    if (notices_.empty())
        return false;
    *taken = notices_.front();
    notices_.pop_front();
    return true;
}

} // namespace tavopus
