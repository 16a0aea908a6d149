// The system calls through which every file is read and written, as one seam:
// the program uses the real calls; a test puts in a subclass that fails one
// of them to walk a fault path on purpose.
#pragma once

#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace files {

class System {
public:
    virtual ~System() = default;

    // Each has the system call's contract: -1 with errno set on failure.
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual int Stat(const char* path, struct stat* status);
    virtual int Lstat(const char* path, struct stat* status);
    virtual int Fstat(int fd, struct stat* status);
    // What the effective user may do with `path` (faccessat with AT_EACCESS).
    virtual int Access(const char* path, int mode);
    virtual ssize_t Read(int fd, void* buffer, std::size_t size);
    virtual ssize_t Write(int fd, const void* buffer, std::size_t size);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Flock(int fd, int operation);
    virtual int Fsync(int fd);
    virtual int Ftruncate(int fd, off_t length);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
    // The label printer library waits on its device nodes, and pauses as a
    // poll of no descriptors, through this one.
    virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs);

    // The one in use: the real calls unless a test has put its own in place.
    static System& Current();
    // nullptr puts the real calls back. The caller keeps `replacement` alive.
    static void Replace(System* replacement);
};

// Makes `call` (a system call through System) again while a signal
// interrupts it; the first result that is not an interruption.
template <typename Call> auto Uninterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

// Puts a placeholder on each of the descriptors 0, 1 and 2 that is closed,
// so that no file the program opens later takes its number and is read or
// written as standard input or output: the placeholder can be neither
// (EBADF), just as the closed descriptor.
void HoldClosedStandardDescriptors();

} // namespace files
