// The report at its size limit: a shown view whose report keeps --limit
// characters is filled almost to the limit, then takes 512-character chunks of
// 64-character lines at --rate characters a second from a 1 ms timer on the
// user-interface thread (as the receive pump hands over chunks), long enough
// for the report to pass its limit and be trimmed once. A 2 ms timer measures
// the longest gap of the event loop meanwhile (and the longest before the
// trim), as busview_stall does; every append is timed, the one that trims on
// its own. At the end the report is cleared (Edit > Clear report) and the
// window brought up to date, timed. Last, the view is hidden, its report
// filled again to the size it had at the end of the run, and the view shown:
// timed are the show itself, the longest gap of the event loop from the show
// until the window holds the whole report, and that time.
//
//   report_stall [--limit CHARS] [--rate CHARS_PER_S] [--seconds N]
//
// Prints one RESULT line. Run it on a real X server (Xvfb) with
// QT_QPA_PLATFORM=xcb for figures that include drawing.
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "view/CReportWindow.h"
#include "view/ReportDisplay.h"
#include "xrate/MessageBox.h"
#include "xrate/UserInterfaceThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <time.h>

namespace {

constexpr int kTickMs = 2;
constexpr int kFeedMs = 1;
constexpr int kLineLength = 64;
constexpr int kChunkLength = 512;

qint64 ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Eight numbered lines of kLineLength characters, line ends included.
std::string Chunk(long long& number)
{
    std::string chunk;
    char line[kLineLength + 1];
    while (chunk.size() < kChunkLength) {
        std::snprintf(line, sizeof line, "line %010lld %-45s\r\n", number++, "of a busy device on the line");
        chunk += line;
    }
    return chunk;
}

double Ms(qint64 ns)
{
    return static_cast<double>(ns) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    int limit = CReportText::kLargestReportLimit;
    long long rate = 1 << 20;
    int seconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--limit" && i + 1 < argc)
            limit = std::atoi(argv[++i]);
        else if (argument == "--rate" && i + 1 < argc)
            rate = std::atoll(argv[++i]);
        else if (argument == "--seconds" && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: report_stall [--limit CHARS] [--rate CHARS_PER_S] [--seconds N]\n");
            return 2;
        }
    }

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    MarkUserInterfaceThread();
    SetMessageBoxHandler([](const MessageBoxCall& call) -> int {
        std::fprintf(stderr, "report_stall: unexpected box: %s: %s\n", call.caption.c_str(), call.text.c_str());
        std::exit(1);
    });
    LineTimings timings;
    timings.pump.startWaitMs = 0;
    CChildView view(timings);
    view.resize(800, 600);
    view.show();
    view.Session().SetReportLimit(limit);
    auto& window = static_cast<CReportWindow&>(*view.ReportWindow());

    // Filled so that the limit is passed half-way through the run.
    long long number = 0;
    const long long fillTo = std::max<long long>(0, limit - rate * seconds / 2);
    QElapsedTimer clock;
    clock.start();
    while (view.Session().Report().Length() + kChunkLength <= fillTo)
        view.Session().AppendReport(Chunk(number).c_str());
    const qint64 fillNs = clock.nsecsElapsed();
    clock.restart();
    window.Refresh();
    const qint64 catchUpNs = clock.nsecsElapsed();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    qint64 longestGap = 0;
    qint64 longestGapCpu = 0;
    qint64 longestGapBeforeTrim = 0;
    int trims = 0;
    long long ticks = 0;
    qint64 last = 0;
    qint64 lastCpu = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = ThreadCpuNs();
        if (ticks++ > 0 && now - last > longestGap) {
            longestGap = now - last;
            longestGapCpu = cpu - lastCpu;
        }
        if (trims == 0)
            longestGapBeforeTrim = longestGap;
        last = now;
        lastCpu = cpu;
    });

    long long fed = 0;
    long long appends = 0;
    qint64 appendNs = 0;
    qint64 longestAppend = 0;
    qint64 trimAppend = 0;
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, [&] {
        const long long due = rate * clock.nsecsElapsed() / 1'000'000'000;
        while (fed < due) {
            const std::string chunk = Chunk(number);
            const qint64 before = clock.nsecsElapsed();
            const int trimmed = view.Session().AppendReport(chunk.c_str());
            const qint64 took = clock.nsecsElapsed() - before;
            appendNs += took;
            ++appends;
            longestAppend = std::max(longestAppend, took);
            if (trimmed) {
                ++trims;
                trimAppend = std::max(trimAppend, took);
            }
            fed += static_cast<long long>(chunk.size());
        }
    });
    clock.restart();
    tick.start(kTickMs);
    feed.start(kFeedMs);
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    QApplication::exec();
    feed.stop();
    tick.stop();
    const int reportChars = view.Session().Report().Length();
    QCoreApplication::processEvents();
    clock.restart();
    view.OnCommand(ID_CLEAR_REPORT);
    window.Refresh();
    const qint64 clearNs = clock.nsecsElapsed();

    view.hide();
    while (view.Session().Report().Length() + kChunkLength <= reportChars)
        view.Session().AppendReport(Chunk(number).c_str());
    const int shownChars = DisplayDistance(view.Session().Report().Text(), 0, view.Session().Report().Length());
    qint64 showGap = 0;
    qint64 lastShowTick = 0;
    qint64 showCatchUpNs = -1;
    QTimer showTick;
    showTick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&showTick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        showGap = std::max(showGap, now - lastShowTick);
        lastShowTick = now;
        if (showCatchUpNs < 0 && window.document()->characterCount() - 1 == shownChars)
            showCatchUpNs = now;
    });
    clock.restart();
    view.show();
    const qint64 showNs = clock.nsecsElapsed();
    showTick.start(kTickMs);
    // The application's own loop has quit already; this one runs until the
    // window holds it all, two minutes at most.
    while (showCatchUpNs < 0 && clock.elapsed() < 120'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    std::printf("RESULT report_stall limit=%d rate=%lld seconds=%d fill_s=%.2f catch_up_ms=%.1f "
                "longest_gap_ms=%.1f its_cpu_ms=%.1f before_the_trim_ms=%.1f ticks=%lld appends=%lld mean_append_us=%.2f "
                "longest_append_ms=%.2f trims=%d trim_append_ms=%.2f fed=%lld report_chars=%d clear_ms=%.1f "
                "hidden_fill_chars=%d show_ms=%.1f show_longest_gap_ms=%.1f show_catch_up_ms=%.1f\n",
                limit, rate, seconds, static_cast<double>(fillNs) / 1e9, Ms(catchUpNs), Ms(longestGap),
                Ms(longestGapCpu), Ms(longestGapBeforeTrim), ticks, appends, appends ? static_cast<double>(appendNs) / 1e3 / static_cast<double>(appends) : 0.0,
                Ms(longestAppend), trims, Ms(trimAppend), fed, reportChars, Ms(clearNs),
                view.Session().Report().Length(), Ms(showNs), Ms(showGap), Ms(showCatchUpNs));
    return 0;
}
