// Preloaded (LD_PRELOAD) into both programs that bench_startup starts, so the
// measured program itself carries no hook. A start-up routine of the
// application object watches every event; when the first paint of a window
// has been handled (the next turn of the event loop, after the repaint has
// been flushed), it writes "monotonic-ns resident-KiB cpu-ns window-title" to
// the file named by Q8XJ_FIRST_PAINT_FILE, then a line of the shared
// libraries mapped by then, and ends the process at once. The processor time
// of all its threads is less swayed by a loaded machine.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

namespace {

long long Ns(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long ResidentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

// The file names of the shared libraries mapped now, each once, space-separated.
std::string SharedLibraries() {
    std::set<std::string> names;
    std::FILE* maps = std::fopen("/proc/self/maps", "r");
    if (maps == nullptr) {
        return {};
    }
    char line[4096];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
        const char* slash = std::strrchr(line, '/');
        if (slash != nullptr && std::strstr(slash, ".so") != nullptr) {
            std::string name(slash + 1);
            name.erase(name.find_last_not_of('\n') + 1);
            names.insert(name);
        }
    }
    std::fclose(maps);
    std::string all;
    for (const std::string& name : names) {
        all += (all.empty() ? "" : " ") + name;
    }
    return all;
}

bool s_seen = false;

class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint || s_seen) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr) {
            return false;
        }
        s_seen = true;
        const QByteArray title = widget->window()->windowTitle().toUtf8();
        QTimer::singleShot(0, [title] {
            const long long paintedAt = Ns(CLOCK_MONOTONIC);
            const long long cpu = Ns(CLOCK_PROCESS_CPUTIME_ID);
            const long kb = ResidentKb();
            if (const char* path = std::getenv("Q8XJ_FIRST_PAINT_FILE")) {
                if (std::FILE* out = std::fopen(path, "w")) {
                    std::fprintf(out, "%lld %ld %lld %s\n%s\n", paintedAt, kb, cpu, title.constData(),
                                 SharedLibraries().c_str());
                    std::fclose(out);
                }
            }
            std::_Exit(0);
        });
        return false;
    }
};

// Runs for every application object; a program may make a core one first.
void Install() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new FirstPaint(application));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
