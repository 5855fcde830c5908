// The bus view under a flood: the whole application (frame, report, bus view
// with two plots) takes Orvane 1.1 register replies at a fixed rate on a
// pseudo-terminal, and a 2 ms timer on the user-interface thread measures the
// longest gap between its ticks: the longest time the event loop was away,
// and how much of that gap the user-interface thread spent on the processor
// (the rest it waited: for the X server, or for a processor on a busy machine).
// With --log FILE the session log is written meanwhile (every report text, as
// File > Start log writes it), and the log's byte rate is part of the result.
//
//   busview_stall [--rate BYTES_PER_S] [--seconds N] [--no-bus-view] [--no-plots] [--log FILE]
//
// Prints one RESULT line. Run it on a real X server (Xvfb) with
// QT_QPA_PLATFORM=xcb for figures that include drawing.
#include "app/CMainFrame.h"
#include "app/CSettingsStore.h"
#include "app/CTamselApp.h"
#include "support/PseudoTerminal.h"
#include "bus/BusModel.h"
#include "busview/BusViewWindow.h"
#include "orvane/Checksum11.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "xrate/UserInterfaceThread.h"

#include <QApplication>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <time.h>
#include <unistd.h>

namespace {

constexpr int kTickMs = 2;
constexpr qint64 kLongGapNs = 50'000'000;

qint64 ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Replies of node 1's 16-bit and node 12's 32-bit register 15, alternately,
// with a counter as the value: the two plotted registers.
std::string Reply(uint32_t count)
{
    const bool wide = count % 2 == 1;
    unsigned char payload[6] = {static_cast<unsigned char>(wide ? 0x7F : 0x6F),
                                static_cast<unsigned char>(wide ? 12 : 1),
                                static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
                                static_cast<unsigned char>(count >> 16), static_cast<unsigned char>(count >> 24)};
    const int length = wide ? 6 : 4;
    std::string packet{static_cast<char>(0x7F), static_cast<char>(length), static_cast<char>(length ^ 0xFF)};
    packet.append(reinterpret_cast<const char*>(payload), static_cast<std::size_t>(length));
    packet += static_cast<char>(Checksum11(payload, length));
    return packet;
}

struct Feed {
    long long sent = 0;
    long long refused = 0;
};

void FeedLine(int master, long long bytesPerSecond, int seconds, std::atomic<bool>& stop, Feed& feed)
{
    std::string pending;
    uint32_t count = 0;
    const auto start = std::chrono::steady_clock::now();
    long long due = 0;
    for (int ms = 1; ms <= seconds * 1000 && !stop; ++ms) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
        const long long target = bytesPerSecond * ms / 1000;
        while (static_cast<long long>(pending.size()) < target - due)
            pending += Reply(count++);
        const std::size_t chunk = static_cast<std::size_t>(target - due);
        const ssize_t written = write(master, pending.data(), chunk);
        const long long taken = written > 0 ? written : 0;
        feed.sent += taken;
        feed.refused += static_cast<long long>(chunk) - taken;
        pending.erase(0, chunk);  // a line without flow control: what is refused is lost
        due = target;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    long long rate = 1 << 20;
    int seconds = 10;
    bool busView = true;
    bool plots = true;
    std::string logPath;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--rate" && i + 1 < argc)
            rate = std::atoll(argv[++i]);
        else if (argument == "--seconds" && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else if (argument == "--no-bus-view")
            busView = false;
        else if (argument == "--no-plots")
            plots = false;
        else if (argument == "--log" && i + 1 < argc)
            logPath = argv[++i];
        else {
            std::fprintf(stderr, "usage: busview_stall [--rate BYTES_PER_S] [--seconds N] [--no-bus-view] "
                                 "[--no-plots] [--log FILE]\n");
            return 2;
        }
    }

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    MarkUserInterfaceThread();
    QTemporaryDir folder;
    CSettingsStore::UseFile(folder.filePath(QStringLiteral("profile.conf")));
    CSettingsStore store;
    store.WriteNumber(ProfileKey::kReceiveXrate, 4);
    if (plots)
        store.WriteText(ProfileKey::kBusPlots, QStringLiteral("1:16:15 12:32:15"));

    testsupport::PseudoTerminal line;
    if (!line.IsOpen()) {
        std::fprintf(stderr, "busview_stall: no pseudo-terminal\n");
        return 1;
    }
    CTamselApp tamsel(Language::English);
    tamsel.SetPortOverrides({"COM1=" + line.Path()});
    if (!tamsel.InitInstance())
        return 1;
    CMainFrame& frame = *tamsel.MainFrame();
    if (busView)
        frame.OnCommand(ID_VIEW_BUS);

    // Let the window come up and the reader start before the flood.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    SessionRecorder& recorder = frame.View()->Session().Recorder();
    if (!logPath.empty() && recorder.StartLog(logPath, true, false) != 0)
        return 1;

    std::atomic<bool> stop{false};
    Feed feed;
    qint64 longestGap = 0;
    qint64 longestGapCpu = 0;
    long long longGaps = 0;
    long long ticks = 0;
    qint64 lastCpu = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = ThreadCpuNs();
        if (ticks++ > 0) {
            if (now - last > longestGap) {
                longestGap = now - last;
                longestGapCpu = cpu - lastCpu;
            }
            longGaps += now - last > kLongGapNs ? 1 : 0;
        }
        last = now;
        lastCpu = cpu;
    });
    tick.start(kTickMs);
    std::thread feeder(FeedLine, line.Master(), rate, seconds, std::ref(stop), std::ref(feed));
    QTimer::singleShot(seconds * 1000 + 500, &application, &QCoreApplication::quit);
    QApplication::exec();
    stop = true;
    feeder.join();
    recorder.StopLog();
    const long long logBytes = logPath.empty() ? 0 : QFileInfo(QString::fromStdString(logPath)).size();

    const std::size_t stores = frame.Bus()->Log().size();
    std::printf("RESULT busview_stall bus_view=%d plots=%d rate=%lld seconds=%d longest_gap_ms=%.1f "
                "its_cpu_ms=%.1f gaps_over_50ms=%lld tick_ms=%d ticks=%lld sent=%lld refused=%lld "
                "register_stores=%zu log=%d log_bytes=%lld log_MiB_per_s=%.2f\n",
                busView ? 1 : 0, plots ? 1 : 0, rate, seconds, longestGap / 1e6, longestGapCpu / 1e6, longGaps,
                kTickMs, ticks, feed.sent,
                feed.refused, stores, logPath.empty() ? 0 : 1, logBytes, logBytes / 1048576.0 / seconds);
    return 0;
}
