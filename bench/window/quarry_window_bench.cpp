// quarry-window-bench: the desktop program's own figures, under whatever Qt
// platform is set (the offscreen one by default), for one item file:
//
//   quarry-window-bench [--shows N] [--steps N] [--seed S] [--sample-every N]
//                       [--show ZRID] [--repeat N] [--compare] [--find] FILE
//
// 1. the import through the application object (scan, then the category tree
//    built into the window's tree model): wall time, the resident memory it
//    adds, and the longest time the event loop went without a turn;
// 2. with --show, the time to show that one item, laid out and painted:
//    median and longest of --repeat shows (default 5);
// 3. a soak: N random items shown through showItem (default 100000), then
//    Back and Forward stepped M times (default 10000), with the resident
//    memory sampled along the way, so a leak shows as a rising series; and
//    up to 2000 more shows, each with the event loop's turn after it.
//    --shows 0 --steps 0 leave it out;
// 4. with --compare, the first eight items of the index put on the compare
//    list one request at a time, as eight presses of Ctrl+D would, with a turn
//    of the event loop after each, then the Compare pane painted: the time
//    until it shows them all, and the longest gap of the event loop meanwhile
//    (run before the soak);
// 5. with --find, the Find pane typed into: a query of 10,000 words set at
//    once and more typed after it, then a word no name holds typed one key at
//    a time (each keystroke a search of every name for near spellings): the
//    longest gap of the event loop meanwhile, the time until the last result
//    shows, and what that last search costs when run on the window's thread
//    (run before the soak).
// Message boxes that come up are answered at once and counted.

#include "app/own_settings.h"
#include "app/quarry.h"
#include "gen/random_stream.h"
#include "harness/bench_stats.h"
#include "harness/bench_tools.h"
#include "platform/process_heap.h"
#include "ui/compare_pane.h"
#include "ui/find_pane.h"
#include "ui/find_results_model.h"
#include "ui/frame_resources.h"
#include "ui/item_tree_model.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QAbstractTextDocumentLayout>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quarry {

namespace {

const char kUsage[] = "usage: quarry-window-bench [--shows N] [--steps N] [--seed S] "
                      "[--sample-every N] [--show ZRID] [--repeat N] [--compare] [--find] FILE\n";

// The long query the Find run sets at once, and the word it types after.
constexpr int kLongQueryWords = 10000;
const char kUnheardWord[] = "zqxjvk";

using Clock = std::chrono::steady_clock;

// A field of /proc/self/status in megabytes (10^6 bytes); 0 when unknown.
double statusMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::strtod(line.c_str() + length + 1, nullptr) * 1024.0 / 1e6; // kB
    return 0.0;
}

double residentMB() {
    return statusMB("VmRSS");
}

// Answers every modal box or dialog as soon as it shows, and counts them.
class cModalAnswerer : public QObject {
public:
    cModalAnswerer() {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                ++answered;
                if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                    ok->click();
                else
                    box->reject();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                ++answered;
                dialog->reject();
            }
        });
        timer_.start();
    }
    int answered = 0;

private:
    QTimer timer_;
};

// Notes every turn of the event loop (a zero-interval timer runs once per
// turn) and keeps the longest time between two.
class cLoopTurnProbe : public QObject {
public:
    void start() {
        gaps_.restart();
        connect(&timer_, &QTimer::timeout, this, [this] {
            gaps_.note();
            ++turns;
        });
        timer_.start(0);
    }
    void stop() {
        gaps_.note();
        timer_.stop();
    }
    double longestMs() const { return gaps_.longestSeconds() * 1000.0; }
    std::uint64_t turns = 0;

private:
    QTimer timer_;
    cGapMeter gaps_;
};

// The time to show one item as the user sees it: the report filled in, laid
// out to its end (as the scroll bar needs) and the visible part painted.
// Wall time and the CPU time of this thread, in milliseconds.
std::pair<double, double> timeOneShowMs(cQuarry& app, ZRID zrid) {
    cReportPane* pane = app.mainFrame()->reportPane();
    const cStopwatch watch;
    app.showItem(zrid);
    pane->document()->documentLayout()->documentSize();
    pane->viewport()->repaint();
    return {watch.wallSeconds() * 1000.0, watch.cpuSeconds() * 1000.0};
}

void measureShow(cQuarry& app, ZRID zrid, std::uint64_t repeat) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (std::uint64_t i = 0; i < repeat; ++i) {
        const auto [wallMs, cpuMs] = timeOneShowMs(app, zrid);
        wall.push_back(wallMs);
        cpu.push_back(cpuMs);
        QCoreApplication::processEvents();
        std::printf("show_item_ms %.1f cpu %.1f\n", wallMs, cpuMs);
        std::fflush(stdout);
    }
    std::printf("show_item_median_ms %.1f\nshow_item_median_cpu_ms %.1f\n"
                "show_item_max_ms %.1f\nshow_item_chars %d\n",
                median(wall), median(cpu), percentile(wall, 1.0),
                app.mainFrame()->reportPane()->document()->characterCount());
}

// The window's size while measured: the size it had before it took a share of
// the screen.
const QSize kFrameSize(900, 640);

// Shows timed with the event loop's turn after each: fewer, since each paints.
constexpr std::uint64_t kShowsWithTurn = 2000;

// Random items shown, then Back and Forward, with the resident memory sampled.
void runSoak(cQuarry& app, std::uint64_t shows, std::uint64_t steps, std::uint64_t seed,
             std::uint64_t sampleEvery) {
    std::vector<ZRID> identifiers;
    for (const cIndexEntry& entry : *app.store().index())
        identifiers.push_back(entry.zrid);
    cRandomStream random(seed);
    // Shows a random item; the milliseconds until showItem returns, or with
    // `turn` until the event loop's turn after it is done too.
    const auto timeRandomShow = [&](bool turn) {
        const ZRID zrid = identifiers[random.below(static_cast<std::uint32_t>(identifiers.size()))];
        const Clock::time_point start = Clock::now();
        app.showItem(zrid);
        if (turn) QCoreApplication::processEvents();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> times;
    times.reserve(shows);
    std::printf("rss_mb after_import %.1f\n", residentMB());
    for (std::uint64_t i = 1; i <= shows; ++i) {
        times.push_back(timeRandomShow(false));
        if (i % 100 == 0) QCoreApplication::processEvents();
        if (i % sampleEvery == 0) {
            std::printf("rss_mb after_%llu_shows %.1f\n", static_cast<unsigned long long>(i),
                        residentMB());
            std::fflush(stdout);
        }
    }
    std::printf("show_median_ms %.3f\nshow_p99_ms %.3f\n", median(times), percentile(times, 0.99));
    // The same, each followed by the event loop's turn that brings the tree
    // to the item and paints: all the user waits for.
    times.clear();
    for (std::uint64_t i = 1; i <= std::min<std::uint64_t>(shows, kShowsWithTurn); ++i)
        times.push_back(timeRandomShow(true));
    if (!times.empty())
        std::printf("show_and_turn_median_ms %.3f\nshow_and_turn_p99_ms %.3f\n", median(times),
                    percentile(times, 0.99));
    for (std::uint64_t i = 1; i <= steps; ++i) {
        // Runs of ten Back, then ten Forward, across the whole history.
        if ((i - 1) / 10 % 2 == 0)
            app.onBack();
        else
            app.onForward();
        if (i % 100 == 0) QCoreApplication::processEvents();
        if (i % sampleEvery == 0 || i == steps) {
            std::printf("rss_mb after_%llu_steps %.1f\n", static_cast<unsigned long long>(i),
                        residentMB());
            std::fflush(stdout);
        }
    }
}

void measureCompare(cQuarry& app) {
    std::vector<ZRID> zrids;
    for (const cIndexEntry& entry : *app.store().index())
        if (zrids.size() < cCompareList::kMaxItems) zrids.push_back(entry.zrid);
    cComparePane* pane = app.mainFrame()->comparePane();
    pane->clear();
    QCoreApplication::processEvents();
    cLoopTurnProbe probe;
    probe.start();
    const cStopwatch watch;
    for (const ZRID zrid : zrids) {
        app.addToCompare({zrid});
        QCoreApplication::processEvents();
    }
    pane->table()->viewport()->repaint();
    const double wallMs = watch.wallSeconds() * 1000.0;
    const double cpuMs = watch.cpuSeconds() * 1000.0;
    probe.stop();
    std::printf("compare_items %zu\ncompare_rows %zu\ncompare_fill_ms %.1f\n"
                "compare_fill_cpu_ms %.1f\ncompare_longest_gap_ms %.1f\n",
                pane->list().items().size(), pane->list().rows().size(), wallMs, cpuMs,
                probe.longestMs());
    std::fflush(stdout);
}

// Types `text` into `box` one key at a time, with a turn of the event loop
// after each key, as a user's typing comes.
void typeKeys(QWidget* box, const QString& text) {
    for (const QChar key : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(key));
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
        QCoreApplication::processEvents();
    }
}

void measureFind(cQuarry& app) {
    app.mainFrame()->action(cmdEditFind)->trigger();
    cFindPane* pane = app.mainFrame()->findPane();
    QLineEdit* box = pane->searchBox();
    // Words of one letter: the box holds at most 32767 characters.
    QString words;
    for (int word = 0; word < kLongQueryWords; ++word)
        words += QString(QChar(u'a' + word % 26)) + QLatin1Char(' ');
    QCoreApplication::processEvents();
    cLoopTurnProbe probe;
    probe.start();
    const cStopwatch watch;
    box->setText(words);
    QCoreApplication::processEvents();
    typeKeys(box, QStringLiteral("more"));
    const QString longQueryLine = pane->countLine()->text();
    box->clear();
    typeKeys(box, QString::fromLatin1(kUnheardWord));
    while (pane->searching())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double wallMs = watch.wallSeconds() * 1000.0;
    probe.stop();
    const cStopwatch direct;
    const cQueryResult near = runQuery(app.names(), parseQuery(kUnheardWord).query, true);
    const double directMs = direct.wallSeconds() * 1000.0;
    std::printf("find_long_query_says %s\nfind_typing_ms %.1f\nfind_longest_gap_ms %.1f\n"
                "find_results %d\nfind_says %s\nfind_one_search_ms %.1f\nfind_one_search_items "
                "%zu\n",
                longQueryLine.toUtf8().constData(), wallMs, probe.longestMs(),
                pane->resultsModel()->rowCount(), pane->countLine()->text().toUtf8().constData(),
                directMs, near.items.size());
    std::fflush(stdout);
}

} // namespace

} // namespace quarry

int main(int argc, char** argv) {
    using namespace quarry;
    useLargeHeapPages(); // as the program measured does
    std::uint64_t shows = 100000;
    std::uint64_t steps = 10000;
    std::uint64_t seed = 1;
    std::uint64_t sampleEvery = 10000;
    std::uint64_t repeat = 5;
    std::optional<ZRID> shownItem;
    bool compare = false;
    bool find = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::uint64_t* number = option == "--shows"          ? &shows
                                : option == "--steps"        ? &steps
                                : option == "--seed"         ? &seed
                                : option == "--sample-every" ? &sampleEvery
                                : option == "--repeat"       ? &repeat
                                                             : nullptr;
        bool ok = true;
        if (number != nullptr) {
            ok = parseNumber(value, *number);
            ++i;
        } else if (option == "--show") {
            std::uint64_t zrid = 0;
            ok = parseNumber(value, zrid) && zrid <= UINT32_MAX;
            shownItem = static_cast<ZRID>(static_cast<std::uint32_t>(zrid));
            ++i;
        } else if (option == "--compare") {
            compare = true;
        } else if (option == "--find") {
            find = true;
        } else if (!option.empty() && option[0] != '-' && path.empty()) {
            path = option;
        } else {
            ok = false;
        }
        ok = ok && sampleEvery > 0 && repeat > 0;
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (path.empty() || !std::ifstream(path).good()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    const cOwnSettings settings; // the window's recent files stay out of the user's
    // The application object gets no arguments of ours.
    int appArgc = 1;
    char* appArgv[] = {argv[0], nullptr};
    cQuarry app(appArgc, appArgv);
    const double beforeStart = residentMB();
    if (!app.InitInstance()) return 1;
    // Reports are laid out at one size, whatever the screen the window would
    // take a share of, so that runs on other machines and versions compare.
    app.mainFrame()->resize(kFrameSize);
    QCoreApplication::processEvents();
    cModalAnswerer answerer;

    // 1. The import.
    const double beforeImport = residentMB();
    cLoopTurnProbe probe;
    probe.start();
    const cStopwatch importWatch;
    const bool imported = app.scanItemFile(path);
    const double importSeconds = importWatch.wallSeconds();
    const double importCpuSeconds = importWatch.cpuSeconds();
    probe.stop();
    QCoreApplication::processEvents();
    const double afterImport = residentMB();
    const std::size_t nodes = app.mainFrame()->treeModel()->nodeCount();
    std::printf("window_start_mb %.1f\n", beforeImport - beforeStart);
    std::printf("import_ok %d\nimport_seconds %.3f\nimport_cpu_seconds %.3f\nitems %zu\n"
                "tree_nodes %zu\n",
                imported ? 1 : 0, importSeconds, importCpuSeconds, app.store().itemCount(), nodes);
    std::printf("import_added_mb %.1f\nlongest_loop_gap_ms %.1f\nloop_turns %llu\n",
                afterImport - beforeImport, probe.longestMs(),
                static_cast<unsigned long long>(probe.turns));
    std::printf("boxes_during_import %d\n", answerer.answered);
    std::fflush(stdout);
    if (!imported) return 1;

    // 1b. The same file again: the import wrote its cache, which now serves it.
    cLoopTurnProbe reopenProbe;
    reopenProbe.start();
    const cStopwatch reopenWatch;
    const bool reopened = app.scanItemFile(path);
    const double reopenSeconds = reopenWatch.wallSeconds();
    reopenProbe.stop();
    QCoreApplication::processEvents();
    std::printf(
        "reopen_ok %d\nreopen_seconds %.3f\nreopen_cpu_seconds %.3f\nreopen_tree_nodes %zu\n"
        "reopen_longest_loop_gap_ms %.1f\n",
        reopened ? 1 : 0, reopenSeconds, reopenWatch.cpuSeconds(),
        app.mainFrame()->treeModel()->nodeCount(), reopenProbe.longestMs());
    std::fflush(stdout);

    // 2. One item, shown again and again.
    if (shownItem) measureShow(app, *shownItem, repeat);

    // 4. The compare list, before the soak fills the history.
    if (compare) measureCompare(app);

    // 5. The Find pane, before the soak.
    if (find) measureFind(app);

    // 3. The soak.
    if (app.store().itemCount() > 0 && shows + steps > 0)
        runSoak(app, shows, steps, seed, sampleEvery);
    std::printf("peak_mb %.1f\nboxes_answered %d\n", statusMB("VmHWM"), answerer.answered);
    return 0;
}
