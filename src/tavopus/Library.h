// The library behind the C entry points: one backend, chosen from the
// environment, the table of open links, the registered receiver of notices
// and the messages told so far. The entry points take `mutex` and
// forward here.
#pragma once

#include "tavopus/Backend.h"
#include "tavopus/Settings.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace tavopus {

class Library {
public:
    Library() { ChooseBackend(); }
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    static Library& Instance();

    std::mutex mutex;

    // Forgets every link, registration and told message, reads the
    // environment's variables again and chooses the backend anew.
    void Reset();

    void Register(std::uint32_t receiver) { receiver_ = receiver; }
    void Unregister();

    bool CheckActive(std::int32_t number, char* name);
    bool Start(std::uint32_t* handle, std::int32_t number);
    void End(std::uint32_t handle);
    bool IsMyRemovedDevice(std::uint32_t handle, std::int32_t number);
    bool Write(std::uint32_t handle, const void* bytes, std::uint32_t count);
    bool Read(std::uint32_t handle, void* buffer, std::uint32_t* count);
    int NoticeDescriptor() { return backend_->NoticeDescriptor(); }
    bool TakeNotice(Notice* notice);

private:
    void ChooseBackend();
    // The link of this handle while it works; nullptr for an unknown or ended one.
    Link* Live(std::uint32_t handle);

    Settings settings_;
    std::unique_ptr<Backend> backend_;
    std::map<std::uint32_t, std::unique_ptr<Link>> links_;
    std::uint32_t nextHandle_ = 1;
    std::uint32_t receiver_ = 0;
    std::deque<Notice> notices_;
};

} // namespace tavopus
