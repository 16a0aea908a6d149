// What a fresh process pays the first time it shows a strength figure, saves
// the label as a PDF and prints it on another printer, against the same act
// repeated later in that process. Each case runs through the real main
// dialog's handlers (OnConvert, OnSavePdf, OnPrintElsewhere) in processes of
// its own, started by this program with a fresh home and working folder.
// Times run from calling the handler to its return with the repaint it posted
// delivered; the process's processor time over the same span is given too,
// as a loaded machine sways it less. The save dialog is answered through the program's own seam; the
// print dialog is accepted on the raw queue of a private print scheduler
// (tests/support/cups-sandbox, which needs root) as soon as it shows, and
// every job must land. Needs a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/release/bench/bench_first_use [processes]
#include "ChildProcess.h"
#include "app/PasswordDialog.h"
#include "app/LabelExport.h"
#include "app/PasswordDialogTemplate.h"
#include "platform/SaveFileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kLaterUses = 5;
constexpr const char* kQueue = "q8capture"; // the sandbox's default queue

std::int64_t CpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Wall and processor time of one use.
struct Use {
    std::int64_t wall = bench::MonotonicNs(), cpu = CpuNs();
    void End(std::vector<double>& times, std::vector<double>& cpuTimes) const {
        times.push_back(static_cast<double>(bench::MonotonicNs() - wall) / 1e6);
        cpuTimes.push_back(static_cast<double>(CpuNs() - cpu) / 1e6);
    }
};

// Accepts each print dialog once it shows; any other dialog (a failure
// message) is closed and counted.
class PrintDialogAnswer : public QObject {
public:
    explicit PrintDialogAnswer(QString queue)
        : m_queue(std::move(queue)) {}

    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (event->type() != QEvent::Show || dialog == nullptr || !dialog->isWindow()) {
            return false;
        }
        if (qobject_cast<PasswordDialog*>(dialog) != nullptr) {
            return false;
        }
        // The print dialog's class is the printing module's, unknown here.
        QDialog* print = dialog->inherits("QPrintDialog") ? dialog : nullptr;
        if (print == nullptr) {
            ++failures;
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            return false;
        }
        shownNs = bench::MonotonicNs();
        QTimer::singleShot(0, print, [this, print] { Accept(print); });
        return false;
    }

    std::int64_t shownNs = 0;
    int failures = 0;

private:
    void Accept(QDialog* dialog) {
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        const int queue = printers != nullptr ? printers->findText(m_queue) : -1;
        if (queue < 0) {
            ++failures;
            dialog->reject();
            return;
        }
        printers->setCurrentIndex(queue);
        dialog->accept();
    }

    QString m_queue;
};

// One child: the first use and kLaterUses more, written to `report` as lines
// of milliseconds: wall times, processor times, and for printing the times
// until the print dialog showed.
int RunChild(const std::string& kind, const char* report, int argc, char** argv) {
    QApplication application(argc, argv);
    PasswordDialog dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        return 3;
    }
    auto* katakana = dialog.findChild<QLineEdit*>(QStringLiteral("id%1").arg(app::kKatakanaId));
    if (katakana == nullptr) {
        return 4;
    }
    const std::filesystem::path folder = std::filesystem::current_path();
    const QStringList phrases{
        QString::fromUtf8("サクラノハナガサイタ"),       QString::fromUtf8("アオイソラニシロイクモ"),
        QString::fromUtf8("ヤマノウエノチイサナイエ"),   QString::fromUtf8("カワノナガレハオダヤカ"),
        QString::fromUtf8("ヨルノマチニアカリガトモル"), QString::fromUtf8("ウミベデカイガラヲヒロウ")};
    std::vector<double> times, cpu, shown;
    const auto convert = [&](int i) {
        katakana->setText(phrases[i % phrases.size()]);
        const Use use;
        dialog.OnConvert();
        QCoreApplication::sendPostedEvents();
        use.End(times, cpu);
    };
    if (kind == "strength") {
        for (int i = 0; i <= kLaterUses; ++i) {
            convert(i);
        }
    } else if (kind == "pdf") {
        convert(0);
        times.clear();
        cpu.clear();
        // Each save names a new file, as the user answering the save dialog would.
        struct NumberedFiles : platform::SaveFileDialogs {
            std::filesystem::path folder;
            int saved = 0;
            QString Ask(QWidget*, const platform::SaveFileRequest&) override {
                return QString::fromStdString(
                    (folder / ("saved" + std::to_string(saved++) + ".pdf")).string());
            }
        } files;
        files.folder = folder;
        platform::SaveFileDialogs::Replace(&files);
        for (int i = 0; i <= kLaterUses; ++i) {
            const Use use;
            labelexport::SavePdf(&dialog, dialog.Model().Password(), dialog.PrintImagePanel().Style());
            QCoreApplication::sendPostedEvents();
            use.End(times, cpu);
            std::error_code ec;
            if (std::filesystem::file_size(folder / ("saved" + std::to_string(i) + ".pdf"), ec) == 0 || ec) {
                platform::SaveFileDialogs::Replace(nullptr);
                return 5;
            }
        }
        platform::SaveFileDialogs::Replace(nullptr);
    } else if (kind == "print") {
        convert(0);
        times.clear();
        cpu.clear();
        PrintDialogAnswer answer(QString::fromLatin1(kQueue));
        application.installEventFilter(&answer);
        for (int i = 0; i <= kLaterUses; ++i) {
            const Use use;
            labelexport::PrintElsewhere(&dialog, dialog.Model().Password(), dialog.PrintImagePanel().Style());
            QCoreApplication::sendPostedEvents();
            use.End(times, cpu);
            shown.push_back(static_cast<double>(answer.shownNs - use.wall) / 1e6);
        }
        if (answer.failures != 0) {
            return 7;
        }
    } else {
        return 2;
    }
    std::ofstream out(report);
    for (const auto* line : {&times, &cpu, &shown}) {
        for (const double t : *line) {
            out << t << ' ';
        }
        out << '\n';
    }
    return out ? 0 : 8;
}

struct Case {
    const char* kind;
    const char* title;
};
constexpr Case kCases[]{
    {"strength", "first strength figure (convert)"},
    {"pdf", "first PDF saved"},
    {"print", "first print on another printer"},
};

// The private print scheduler in `folder`, stopped when this goes.
class PrintScheduler {
public:
    explicit PrintScheduler(std::filesystem::path folder)
        : m_folder(std::move(folder)) {
        started = Run("start");
    }
    ~PrintScheduler() {
        if (started) {
            Run("stop");
        }
    }
    PrintScheduler(const PrintScheduler&) = delete;
    PrintScheduler& operator=(const PrintScheduler&) = delete;

    std::string Socket() const { return (m_folder / "cups.sock").string(); }

    // Jobs that reached the queue's output folder, waiting up to ten seconds for `expected`.
    std::size_t LandedJobs(std::size_t expected) const {
        std::size_t jobs = 0;
        for (int wait = 0; wait < 100; ++wait, usleep(100000)) {
            jobs = 0;
            std::error_code ec;
            for (auto it = std::filesystem::directory_iterator(m_folder / "out", ec);
                 !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
                jobs += it->file_size(ec) > 0 ? 1 : 0;
            }
            if (jobs >= expected) {
                break;
            }
        }
        return jobs;
    }

    bool started = false;

private:
    bool Run(const char* verb) const {
        const std::string command =
            std::string(Q8XJ_CUPS_SANDBOX) + " " + verb + " '" + m_folder.string() + "' >/dev/null";
        return std::system(command.c_str()) == 0;
    }

    std::filesystem::path m_folder;
};

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
        return RunChild(argv[2], argv[3], 1, argv);
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: xvfb-run -a -s \"-screen 0 1024x768x24\" %s\n", argv[0]);
        return 2;
    }
    const int processes = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 7;
    const bench::TempRoot root;
    if (!root.Ok()) {
        return 1;
    }
    // The scheduler's jobs run as another user, who must reach its folder.
    std::filesystem::permissions(root.Path(), std::filesystem::perms(0755));
    const PrintScheduler scheduler(root.Path() / "cups");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::printf("first use in a fresh process against %d later uses in it; median over %d processes (ms)\n",
                kLaterUses, processes);
    if (!scheduler.started) {
        std::printf("(no print scheduler could start: the print case is left out)\n");
    }
    std::printf("%-40s %8s %8s %10s\n", "", "first", "later", "difference");
    int run = 0;
    for (const Case& c : kCases) {
        const bool printing = std::strcmp(c.kind, "print") == 0;
        if (printing && !scheduler.started) {
            continue;
        }
        // Per line of the children's reports: first uses and medians of later ones.
        std::vector<double> first[3], later[3];
        for (int p = 0; p < processes; ++p, ++run) {
            const std::filesystem::path folder = root.Folder("run" + std::to_string(run));
            const std::filesystem::path report = root.Path() / ("report" + std::to_string(run));
            const auto environment =
                bench::FreshEnvironment(folder / "home", {{"CUPS_SERVER", scheduler.Socket()}});
            std::int64_t startNs = 0;
            const int status = bench::RunProgram(self, {"--child", c.kind, report.string()}, folder,
                                                 environment, startNs, 120000);
            std::vector<std::vector<double>> lines;
            std::ifstream in(report);
            for (std::string line; std::getline(in, line);) {
                std::istringstream values(line);
                lines.emplace_back(std::istream_iterator<double>(values), std::istream_iterator<double>());
            }
            if (status != 0 || lines.size() != 3 ||
                lines[0].size() != static_cast<std::size_t>(kLaterUses) + 1) {
                std::fprintf(stderr, "%s: the child failed (exit status %d)\n", c.title, status);
                return 1;
            }
            for (std::size_t k = 0; k < lines.size(); ++k) {
                if (!lines[k].empty()) {
                    first[k].push_back(lines[k].front());
                    later[k].push_back(bench::Median({lines[k].begin() + 1, lines[k].end()}));
                }
            }
        }
        const char* rows[] = {c.title, "  processor time", "  of which until the print dialog shows"};
        for (std::size_t k = 0; k < 3; ++k) {
            if (!first[k].empty()) {
                const double f = bench::Median(first[k]), l = bench::Median(later[k]);
                std::printf("%-40s %8.1f %8.1f %+10.1f%s\n", rows[k], f, l, f - l,
                            k == 0 ? "   (target: under +100)" : "");
            }
        }
        const auto expected = static_cast<std::size_t>(processes * (kLaterUses + 1));
        if (printing && scheduler.LandedJobs(expected) < expected) {
            std::fprintf(stderr, "not every print job reached the queue\n");
            return 1;
        }
    }
    return 0;
}
