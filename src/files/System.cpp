#include "files/System.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace files {
namespace {

System* g_replacement = nullptr;

} // namespace

int System::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int System::Stat(const char* path, struct stat* status) {
    return ::stat(path, status);
}

int System::Lstat(const char* path, struct stat* status) {
    return ::lstat(path, status);
}

int System::Fstat(int fd, struct stat* status) {
    return ::fstat(fd, status);
}

int System::Access(const char* path, int mode) {
    return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
}

ssize_t System::Read(int fd, void* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}

ssize_t System::Write(int fd, const void* buffer, std::size_t size) {
    return ::write(fd, buffer, size);
}

int System::Fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int System::Fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}

int System::Flock(int fd, int operation) {
    return ::flock(fd, operation);
}

int System::Fsync(int fd) {
    return ::fsync(fd);
}

int System::Ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}

int System::Close(int fd) {
    return ::close(fd);
}

int System::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int System::Unlink(const char* path) {
    return ::unlink(path);
}

int System::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}

System& System::Current() {
    // Never destroyed: links that other static objects end at exit still make their calls.
    static System* const real = new System;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void System::Replace(System* replacement) {
    g_replacement = replacement;
}

void HoldClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            // The lowest free number is this one, as every lower one is open.
            ::open("/dev/null", O_PATH | O_CLOEXEC);
        }
    }
}

} // namespace files
