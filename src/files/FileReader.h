// The one way the program reads a file or a stream: never waits on a FIFO or
// device that has nothing to give, and never takes more than a set size.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>

namespace files {

// Text a user hands the program (an imported table text) is at most this large,
inline constexpr std::size_t kMaxTextBytes = std::size_t{16} << 20;
// and a line read from a stream at most this long.
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

enum class Waiting { Wait, Refuse };

// Reads an open descriptor to its end, one byte past `limit` telling a source
// that is too large (`bytes` then empty). A descriptor without data now is
// waited on (a pipe whose writer is still writing) or refused (a device such
// as a terminal).
std::error_code ReadAll(int fd, std::size_t limit, std::string& bytes, Waiting waiting);

// Reads a regular file (or what a link names) of at most `limit` bytes into
// `bytes`. Anything else is NotRegular and never opened for a blocking read.
// `opened` tells a failure after the file was opened (a read error, a file
// too large) from one before (missing, not allowed, not a regular file).
std::error_code ReadRegularFile(const std::string& name, std::size_t limit, std::string& bytes,
                                bool* opened = nullptr);

// Whether anything has `name`: a file of any kind, a folder, or a link,
// even one to nothing.
bool NameTaken(const std::string& name);

// Whether `a` and `b` name one file (through links and hard links alike).
bool SameFile(const std::string& a, const std::string& b);

// Reads text the user named: "-" for standard input, a regular file, a FIFO
// or pipe (to its end, from a writer that has it open or opens it within a
// second; else NoWriter), or a device that has data now; at most `limit` bytes.
std::error_code ReadText(const std::string& name, std::size_t limit, std::string& bytes);

// Lines of a stream one at a time, so memory stays the same however long the
// stream is. A line ends at '\n' (a '\r' before it is dropped).
class LineReader {
public:
    explicit LineReader(int fd, std::size_t maxLine = kMaxLineBytes);

    // The next line, or false at the end or on an error (see Error()).
    bool Next(std::string& line);
    const std::error_code& Error() const { return m_error; }
    // Whether the next line is already read, so that Next will not wait.
    bool HasLine() const { return m_buffer.find('\n', m_start) != std::string::npos; }

private:
    bool Fill();

    int m_fd;
    std::size_t m_maxLine;
    std::string m_buffer;
    std::size_t m_start = 0;
    bool m_end = false;
    std::error_code m_error;
};

} // namespace files
