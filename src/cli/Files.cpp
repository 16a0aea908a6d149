#include "cli/Files.h"

#include "cli/CliError.h"
#include "cli/Terminal.h"
#include "platform/UserText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

std::string Files::Read(const std::string& name) {
    if (name == "-") {
        return Terminal::ReadInput();
    }
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        const int error = errno;
        throw CliError(kUnreadable,
                       ShownUserText(name, kShownPathChars) + " を読み込めません: " + std::strerror(error));
    }
    std::string bytes;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        throw CliError(kUnreadable,
                       ShownUserText(name, kShownPathChars) + " を読み込めません: " + std::strerror(error));
    }
    return bytes;
}

void Files::Write(const std::string& name, std::string_view bytes) {
    if (name == "-") {
        Terminal::Out(bytes);
        return;
    }
    const std::filesystem::path target(name);
    std::filesystem::path temp = target;
    temp += ".XXXXXX";
    std::string pattern = temp.string();
    const auto fail = [&name](int error) {
        return CliError(kUnwritable,
                        ShownUserText(name, kShownPathChars) + " に書き込めません: " + std::strerror(error));
    };
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw fail(errno);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            ::unlink(pattern.c_str());
            throw fail(error);
        }
        done += static_cast<std::size_t>(n);
    }
    // A new file gets the usual permissions rather than mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    int closeError = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
    if (::close(fd) != 0 && closeError == 0) {
        closeError = errno;
    }
    if (closeError != 0) {
        ::unlink(pattern.c_str());
        throw fail(closeError);
    }
    if (::rename(pattern.c_str(), name.c_str()) != 0) {
        const int error = errno;
        ::unlink(pattern.c_str());
        throw fail(error);
    }
}

} // namespace cli
