// The library's C entry points and its test hooks: each takes the lock and
// forwards to the one Library, which forwards to the chosen backend.
#include "tavopus/tavopus.h"

#include "tavopus/Library.h"
#include "tavopus/TavopusTesting.h"

#include <utility>

namespace tavopus {
namespace {

std::uint32_t Result(bool success) {
    return success ? 0 : 1;
}

// Runs `work` on the library under its lock.
template <typename Work> auto Locked(Work work) {
    auto& library = Library::Instance();
    std::lock_guard lock(library.mutex);
    return work(library);
}

} // namespace

namespace testing {

void Reset() {
    Locked([](Library& library) { library.Reset(); });
}

} // namespace testing
} // namespace tavopus

using tavopus::Library;
using tavopus::Locked;
using tavopus::Result;

extern "C" {

uint32_t TavopRegistHandle(uint32_t receiver) {
    Locked([&](Library& library) { library.Register(receiver); });
    return 0;
}

uint32_t TavopUnregistHandle(void) {
    Locked([](Library& library) { library.Unregister(); });
    return 0;
}

uint32_t TavopCheckActiveDevice(int32_t number, char* name) {
    return Result(Locked([&](Library& library) { return library.CheckActive(number, name); }));
}

uint32_t TavopStartDevice(uint32_t* handle, int32_t number) {
    return Result(Locked([&](Library& library) { return library.Start(handle, number); }));
}

uint32_t TavopEndDevice(uint32_t handle) {
    Locked([&](Library& library) { library.End(handle); });
    return 0;
}

uint32_t TavopCheckMyDevice(uint32_t handle, int32_t number) {
    return Result(Locked([&](Library& library) { return library.IsMyRemovedDevice(handle, number); }));
}

uint32_t TavopUsbWrite(uint32_t handle, const void* bytes, uint32_t count) {
    return Result(Locked([&](Library& library) { return library.Write(handle, bytes, count); }));
}

uint32_t TavopUsbRead(uint32_t handle, void* buffer, uint32_t* count) {
    return Result(Locked([&](Library& library) { return library.Read(handle, buffer, count); }));
}

int TavopNoticeDescriptor(void) {
    return Locked([](Library& library) { return library.NoticeDescriptor(); });
}

uint32_t TavopTakeNotice(TavopNotice* notice) {
    return Result(Locked([&](Library& library) { return library.TakeNotice(notice); }));
}

} // extern "C"
