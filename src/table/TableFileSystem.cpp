#include "table/TableFileSystem.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TableFileSystem* g_replacement = nullptr;

} // namespace

int TableFileSystem::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int TableFileSystem::Stat(const char* path, struct stat* status) {
    return ::stat(path, status);
}

int TableFileSystem::Fstat(int fd, struct stat* status) {
    return ::fstat(fd, status);
}

ssize_t TableFileSystem::Read(int fd, void* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}

ssize_t TableFileSystem::Write(int fd, const void* buffer, std::size_t size) {
    return ::write(fd, buffer, size);
}

int TableFileSystem::Fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int TableFileSystem::Fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}

int TableFileSystem::Flock(int fd, int operation) {
    return ::flock(fd, operation);
}

int TableFileSystem::Fsync(int fd) {
    return ::fsync(fd);
}

int TableFileSystem::Close(int fd) {
    return ::close(fd);
}

int TableFileSystem::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int TableFileSystem::Unlink(const char* path) {
    return ::unlink(path);
}

TableFileSystem& TableFileSystem::Current() {
    static TableFileSystem real;
    return g_replacement != nullptr ? *g_replacement : real;
}

void TableFileSystem::Replace(TableFileSystem* replacement) {
    g_replacement = replacement;
}
