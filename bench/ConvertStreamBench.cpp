// q8xj-cli convert - over a million lines of standard input: lines per second
// and the child's peak memory, which must not grow with the input.
// build/release/bench/bench_convert_stream [lines]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) {
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(in[1]);
        ::close(out[0]);
        ::execl(Q8XJ_CLI, Q8XJ_CLI, "convert", "-", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    // A reader of the passwords, so the child never waits on a full pipe.
    const pid_t drain = ::fork();
    if (drain == 0) {
        ::close(in[1]);
        char buffer[65536];
        while (::read(out[0], buffer, sizeof buffer) > 0) {
        }
        ::_exit(0);
    }
    ::close(out[0]);
    const std::string line = "サクラ　サクラ　サクラ\n";
    std::string block;
    for (int i = 0; i < 1000; ++i) {
        block += line;
    }
    for (long done = 0; done < lines; done += 1000) {
        if (::write(in[1], block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
            return 1;
        }
    }
    ::close(in[1]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ::waitpid(drain, nullptr, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("convert -: %ld lines in %.2f s, %.0f lines/s, peak memory %ld KiB, exit %d\n", lines,
                seconds, static_cast<double>(lines) / seconds, usage.ru_maxrss, WEXITSTATUS(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
