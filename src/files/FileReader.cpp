#include "files/FileReader.h"

#include "files/FileError.h"
#include "files/System.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// A writer started beside the reader (`cat t > fifo &`) may open the FIFO a moment after it.
constexpr int kFifoWriterWaitMs = 1000;

} // namespace

std::error_code ReadAll(int fd, std::size_t limit, std::string& bytes, Waiting waiting) {
    System& sys = System::Current();
    char buffer[65536];
    for (;;) {
        const ssize_t n = Uninterrupted([&] { return sys.Read(fd, buffer, sizeof buffer); });
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waiting == Waiting::Refuse) {
                return FileError::NoData;
            }
            pollfd ready{fd, POLLIN, 0};
            System::Current().Poll(&ready, 1, -1);
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > limit) {
            bytes.clear();
            return FileError::TooLarge;
        }
    }
}

namespace {

// Opens without blocking (a FIFO with no writer would wait in open).
int OpenForReading(const std::string& name, struct stat& status, std::error_code& error) {
    System& sys = System::Current();
    const int fd = sys.Open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
        error = LastError();
        return -1;
    }
    if (sys.Fstat(fd, &status) != 0) {
        error = LastError();
        sys.Close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool NameTaken(const std::string& name) {
    struct stat status {};
    return System::Current().Lstat(name.c_str(), &status) == 0 || errno != ENOENT;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    System& sys = System::Current();
    return sys.Stat(a.c_str(), &first) == 0 && sys.Stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::error_code ReadRegularFile(const std::string& name, std::size_t limit, std::string& bytes,
                                bool* opened) {
    System& sys = System::Current();
    bool ignored = false;
    opened = opened != nullptr ? opened : &ignored;
    *opened = false;
    if (name.empty()) {
        return FileError::EmptyName;
    }
    struct stat status {};
    // Checked before opening, so that nothing but a regular file is ever opened.
    if (sys.Stat(name.c_str(), &status) != 0) {
        return LastError();
    }
    if (!S_ISREG(status.st_mode)) {
        return S_ISDIR(status.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                       : make_error_code(FileError::NotRegular);
    }
    std::error_code error;
    const int fd = sys.Open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
        return LastError();
    }
    *opened = true;
    if (sys.Fstat(fd, &status) != 0) {
        error = LastError();
    } else if (!S_ISREG(status.st_mode)) {
        // A FIFO took the file's place since the check.
        *opened = false;
        error = FileError::NotRegular;
    } else if (static_cast<std::uintmax_t>(status.st_size) > limit) {
        error = FileError::TooLarge;
    } else {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
        error = ReadAll(fd, limit, bytes, Waiting::Refuse);
    }
    sys.Close(fd);
    return error;
}

std::error_code ReadText(const std::string& name, std::size_t limit, std::string& bytes) {
    if (name == "-") {
        return ReadAll(STDIN_FILENO, limit, bytes, Waiting::Wait);
    }
    if (name.empty()) {
        return FileError::EmptyName;
    }
    struct stat status {};
    std::error_code error;
    const int fd = OpenForReading(name, status, error);
    if (fd < 0) {
        return error;
    }
    if (S_ISDIR(status.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
    } else if (S_ISREG(status.st_mode) && static_cast<std::uintmax_t>(status.st_size) > limit) {
        error = FileError::TooLarge;
    } else if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        // A FIFO nobody has opened to write reads as ended at once: a writer gets a moment to come
        // (and is then not left blocked), never more; one that holds it open is waited for.
        pollfd ready{fd, POLLIN, 0};
        const bool noWriterYet =
            S_ISFIFO(status.st_mode) &&
            Uninterrupted([&] { return System::Current().Poll(&ready, 1, kFifoWriterWaitMs); }) == 0;
        error = ReadAll(fd, limit, bytes, S_ISCHR(status.st_mode) ? Waiting::Refuse : Waiting::Wait);
        if (!error && noWriterYet && bytes.empty()) {
            error = FileError::NoWriter;
        }
    } else {
        error = FileError::NotRegular;
    }
    System::Current().Close(fd);
    return error;
}

LineReader::LineReader(int fd, std::size_t maxLine)
    : m_fd(fd)
    , m_maxLine(maxLine) {}

bool LineReader::Fill() {
    // Keeps only the unread part, so the buffer never grows past one line.
    m_buffer.erase(0, m_start);
    m_start = 0;
    char chunk[65536];
    for (;;) {
        const ssize_t n = Uninterrupted([&] { return System::Current().Read(m_fd, chunk, sizeof chunk); });
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{m_fd, POLLIN, 0};
            System::Current().Poll(&ready, 1, -1);
            continue;
        }
        if (n < 0) {
            m_error = LastError();
            return false;
        }
        if (n == 0) {
            m_end = true;
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(n));
        return true;
    }
}

bool LineReader::Next(std::string& line) {
    if (m_error) {
        return false;
    }
    for (;;) {
        const std::size_t end = m_buffer.find('\n', m_start);
        const std::size_t length = (end == std::string::npos ? m_buffer.size() : end) - m_start;
        if (length > m_maxLine) {
            m_error = FileError::LineTooLong;
            return false;
        }
        if (end != std::string::npos || (m_end && m_start < m_buffer.size())) {
            line.assign(m_buffer, m_start, length);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            m_start = end == std::string::npos ? m_buffer.size() : end + 1;
            return true;
        }
        if (m_end || (!Fill() && m_error)) {
            return false;
        }
    }
}

} // namespace files
