// Key to paint in the real main dialog: typing romaji into the katakana field
// (so the composer runs) and the password into the trial field. Each key's
// time runs from sending its press and release to the end of the repaint they
// cause: the posted update requests are delivered at once, which paints every
// dirty widget and flushes the window. Which of the field, the password, the
// strength line and the typing result were repainted is counted, so a figure
// never hides a widget that was not redrawn. Widgets are found by object name
// only. Needs a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/release/bench/bench_keystroke [keys]
#include "ChildProcess.h"
#include "app/PasswordDialog.h"
#include "app/PasswordDialogTemplate.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

QString IdName(int id) {
    return QStringLiteral("id%1").arg(id);
}

// Counts paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++painted[object];
        }
        return false;
    }
    std::map<QObject*, int> painted;
};

struct Watched {
    const char* label;
    QWidget* widget;
};

struct Figures {
    std::vector<double> ms;
    std::map<QObject*, int> keysRepainting; // keys after which the widget was painted
};

// Sends one key to `field` and waits for nothing but the repaint it causes.
void TimeKey(QWidget* field, Qt::Key key, const QString& text, PaintCounter& counter,
             const std::vector<Watched>& watched, Figures& figures) {
    QCoreApplication::processEvents(); // anything left from before, untimed
    counter.painted.clear();
    const std::int64_t start = bench::MonotonicNs();
    QTest::sendKeyEvent(QTest::Press, field, key, text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, field, key, text, Qt::NoModifier);
    QCoreApplication::sendPostedEvents();
    const double ms = static_cast<double>(bench::MonotonicNs() - start) / 1e6;
    for (const Watched& w : watched) {
        figures.keysRepainting[w.widget] += counter.painted.count(w.widget) != 0 ? 1 : 0;
    }
    figures.ms.push_back(ms);
}

void Report(const char* title, const Figures& figures, const std::vector<Watched>& watched) {
    std::printf("%-34s %8.2f %8.2f %8.2f   (target: 95th under 16 ms)\n", title, bench::Median(figures.ms),
                bench::Percentile(figures.ms, 0.95), bench::Percentile(figures.ms, 1.0));
    std::printf("    repainted after how many of %zu keys:", figures.ms.size());
    for (const Watched& w : watched) {
        const auto found = figures.keysRepainting.find(w.widget);
        std::printf(" %s %d,", w.label, found == figures.keysRepainting.end() ? 0 : found->second);
    }
    std::printf("\n");
}

Qt::Key KeyOf(QChar c) {
    const char16_t u = c.toUpper().unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ? static_cast<Qt::Key>(u) : Qt::Key_unknown;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: xvfb-run -a -s \"-screen 0 1024x768x24\" %s\n", argv[0]);
        return 2;
    }
    const int keys = argc >= 2 ? std::max(10, std::atoi(argv[1])) : 300;
    // A fresh home and an empty working folder: no settings, no table file.
    const bench::TempRoot root;
    if (!root.Ok() || chdir(root.Path().c_str()) != 0) {
        return 1;
    }
    for (const std::string& entry : bench::FreshEnvironment(root.Folder("home"), {})) {
        const std::size_t equals = entry.find('=');
        setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    PasswordDialog dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        std::fprintf(stderr, "the dialog was never shown\n");
        return 1;
    }
    auto* katakana = dialog.findChild<QLineEdit*>(IdName(app::kKatakanaId));
    auto* password = dialog.findChild<QLineEdit*>(IdName(app::kPasswordId));
    auto* trial = dialog.findChild<QLineEdit*>(IdName(app::kTypingId));
    auto* result = dialog.findChild<QWidget*>(IdName(app::kTypingResultId));
    auto* strength = dialog.findChild<QLabel*>(QStringLiteral("strengthLine"));
    if (katakana == nullptr || password == nullptr || trial == nullptr || result == nullptr ||
        strength == nullptr) {
        std::fprintf(stderr, "a widget was not found by its object name\n");
        return 1;
    }
    PaintCounter counter;
    const auto watching = [&](QWidget* field) {
        return std::vector<Watched>{
            {"field", field}, {"password", password}, {"strength", strength}, {"result", result}};
    };
    for (QWidget* w : std::initializer_list<QWidget*>{katakana, password, trial, result, strength}) {
        w->installEventFilter(&counter);
    }

    // Romaji of a phrase, over and over; the field is emptied, untimed, before it fills.
    const QString romaji = QStringLiteral("sakuranohanagasaitakyouhaiitenkidesunekonnichiha");
    const std::vector<Watched> kanaWatched = watching(katakana);
    katakana->setFocus();
    Figures kana;
    // The keys must reach the composer, or the figures measure a plain field;
    // these first keys also warm the caches.
    for (const QChar c : QStringLiteral("sakura")) {
        TimeKey(katakana, KeyOf(c), QString(c), counter, kanaWatched, kana);
    }
    if (katakana->text() != QString::fromUtf8("サクラ")) {
        std::fprintf(stderr, "typed romaji did not become katakana\n");
        return 1;
    }
    katakana->clear();
    kana = {};
    for (int i = 0; i < keys; ++i) {
        if (katakana->text().size() >= 30) {
            katakana->clear();
        }
        const QChar c = romaji[i % romaji.size()];
        TimeKey(katakana, KeyOf(c), QString(c), counter, kanaWatched, kana);
    }

    // A password to try, then its characters typed into the trial field.
    katakana->setText(QString::fromUtf8("サクラノハナガサイタ"));
    dialog.OnConvert();
    const QString typed = password->text();
    if (typed.isEmpty()) {
        std::fprintf(stderr, "no password to type\n");
        return 1;
    }
    const std::vector<Watched> trialWatched = watching(trial);
    trial->setFocus();
    Figures trialFigures;
    for (int i = 0; i < keys + 10; ++i) {
        if (trial->text().size() >= typed.size()) {
            trial->clear();
        }
        const QChar c = typed[i % typed.size()];
        TimeKey(trial, KeyOf(c), QString(c), counter, trialWatched, trialFigures);
        if (i == 9) {
            trialFigures = {}; // the first keys warm the caches
        }
    }

    std::printf("key press and release to the end of the repaint, %d keys each (ms)\n", keys);
    std::printf("%-34s %8s %8s %8s\n", "", "median", "95th", "max");
    Report("katakana field (romaji)", kana, kanaWatched);
    Report("trial field", trialFigures, trialWatched);
    return 0;
}
