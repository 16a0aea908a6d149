// Start-up cost of the main dialog: time from process start to the dialog's
// first paint, and resident memory then, next to a bare Qt dialog with the same
// widgets. Each case runs in a process of its own, started by this program;
// it needs a display (run under xvfb-run). The main dialog also starts once
// more in a folder whose table file is just under the 1 MiB cap, to show what
// a large file adds to start-up.
#include "LargeTableFile.h"
#include "app/CPasswordDlg.h"
#include "app/PasswordDialogTemplate.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Reports once the first paint of `dialog` has been handled, then ends the process.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::printf("%lld %ld\n", static_cast<long long>(MonotonicNs()), ResidentKb());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

// The same controls as plain Qt widgets, placed at the same spots, with the same font.
int RunBare(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Q8xj"));
    dialog.setFont(PointFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 90, &dialog));
    dialog.setFixedSize(432, 580);
    for (const auto& control : app::kPasswordDialogControls) {
        const QString text =
            QString::fromUtf8(control.text.data(), static_cast<qsizetype>(control.text.size()));
        QWidget* widget = nullptr;
        switch (control.kind) {
        case dlg::Kind::GroupBox:
            widget = new QGroupBox(text, &dialog);
            break;
        case dlg::Kind::Text:
        case dlg::Kind::Icon:
            widget = new QLabel(text, &dialog);
            break;
        case dlg::Kind::Frame:
            widget = new QFrame(&dialog);
            break;
        case dlg::Kind::Edit:
            widget = new QLineEdit(&dialog);
            break;
        case dlg::Kind::PushButton:
            widget = new QPushButton(text, &dialog);
            break;
        case dlg::Kind::AutoRadio:
            widget = new QRadioButton(text, &dialog);
            break;
        case dlg::Kind::AutoCheck:
            widget = new QCheckBox(text, &dialog);
            break;
        }
        widget->setGeometry(control.x * 7 / 4, control.y * 13 / 8, control.cx * 7 / 4, control.cy * 13 / 8);
    }
    FirstPaint probe;
    dialog.installEventFilter(&probe);
    return dialog.exec();
}

// As the program starts: application icon, then the main dialog run modally.
int RunQ8xj(int argc, char** argv) {
    QApplication application(argc, argv);
    QIcon icon(QStringLiteral(":/icons/q8xj-32.png"));
    icon.addFile(QStringLiteral(":/icons/q8xj-16.png"));
    QApplication::setWindowIcon(icon);
    CPasswordDlg dialog;
    FirstPaint probe;
    dialog.installEventFilter(&probe);
    return dialog.exec();
}

struct Sample {
    double ms;
    long kb;
};

bool RunChild(const char* self, const char* which, Sample& sample, const char* folder = nullptr) {
    int out[2];
    if (pipe(out) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (folder != nullptr) {
        posix_spawn_file_actions_addchdir_np(&actions, folder);
    }
    std::string mode = "--child";
    std::string kind = which;
    std::vector<char*> args{const_cast<char*>(self), mode.data(), kind.data(), nullptr};
    const std::int64_t start = MonotonicNs();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return false;
    }
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long paintedAt = 0;
    long kb = 0;
    if (std::sscanf(text.c_str(), "%lld %ld", &paintedAt, &kb) != 2) {
        return false;
    }
    sample = {static_cast<double>(paintedAt - start) / 1e6, kb};
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        return std::strcmp(argv[2], "bare") == 0 ? RunBare(1, argv) : RunQ8xj(1, argv);
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: xvfb-run -a -s \"-screen 0 1024x768x24\" %s\n", argv[0]);
        return 2;
    }
    const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 15;
    // The children start in an empty folder, so no table file is read.
    char folder[] = "/tmp/q8xj-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) {
        return 1;
    }
    // A second folder holds a table file just under the cap.
    const std::string large = std::string(folder) + "/large";
    mkdir(large.c_str(), 0700);
    std::ofstream(large + "/" + kTableFileName, std::ios::binary) << FileOfSize(kMaxTableFileBytes);
    const char* self = "/proc/self/exe";
    std::vector<double> q8Ms, bareMs, q8Kb, bareKb, largeMs;
    Sample sample{};
    // Warm the file cache once for each, then alternate.
    RunChild(self, "bare", sample);
    RunChild(self, "q8xj", sample);
    for (int i = 0; i < rounds; ++i) {
        if (!RunChild(self, "bare", sample)) {
            std::fprintf(stderr, "bare dialog run failed\n");
            return 1;
        }
        bareMs.push_back(sample.ms);
        bareKb.push_back(static_cast<double>(sample.kb));
        if (!RunChild(self, "q8xj", sample)) {
            std::fprintf(stderr, "main dialog run failed\n");
            return 1;
        }
        q8Ms.push_back(sample.ms);
        q8Kb.push_back(static_cast<double>(sample.kb));
        if (!RunChild(self, "q8xj", sample, large.c_str())) {
            std::fprintf(stderr, "main dialog run with a large table file failed\n");
            return 1;
        }
        largeMs.push_back(sample.ms);
    }
    unlink((large + "/" + kTableFileName).c_str());
    rmdir(large.c_str());
    rmdir(folder);
    const double tq = Median(q8Ms), tb = Median(bareMs), mq = Median(q8Kb), mb = Median(bareKb);
    std::printf("start to first paint, median of %d runs each\n", rounds);
    std::printf("%-22s %12s %14s\n", "", "time (ms)", "resident (KiB)");
    std::printf("%-22s %12.1f %14.0f\n", "bare Qt dialog", tb, mb);
    std::printf("%-22s %12.1f %14.0f\n", "Q8xj main dialog", tq, mq);
    std::printf("%-22s %12.2f %14.2f   (target: at most 1.25)\n", "ratio", tq / tb, mq / mb);
    const double tl = Median(largeMs);
    std::printf("%-22s %12.1f   (%+.1f ms; target: under +100)\n", "with a 1 MiB table", tl, tl - tq);
    return 0;
}
