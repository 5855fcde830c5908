// The view under a busy line, on a shown window with the event loop running
// as in the application (offscreen unless QT_QPA_PLATFORM names another
// platform, such as xcb under Xvfb):
// - AppendLines: report appends per second of 60-character lines; the report
//   is full, so every append runs the trim rule and old lines keep going.
// - OrvaneStream115200: a pseudo-terminal delivers Orvane 1.1 traffic at the
//   byte rate of a 115200-baud line (11520 bytes/s) for a few seconds; the
//   figure is the CPU share the application (every thread but the far side's
//   writer) used meanwhile, in percent of one core, and the part of it that
//   the user-interface thread used.

#include "conversions/ConversionRegistry.h"
#include "orvane/Checksum11.h"
#include "orvane/NodeTable.h"
#include "view/CChildView.h"
#include "xrate/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kLineLength = 60;
constexpr int kBytesPerSecond = 115200 / 10;  // 8 data bits, start and stop bit
constexpr int kStreamSeconds = 5;
constexpr int kWriterTickMs = 10;

// The application object lives as long as the process: destroyed among the
// static destructors, after Qt's own per-thread data, it crashes on xcb.
QApplication& Application()
{
    static int argc = 1;
    static char name[] = "bench_view";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        return new QApplication(argc, argv);
    }();
    return *application;
}

// Any box would be a fault of the set-up; it ends the run with its text.
void FailOnMessageBox()
{
    SetMessageBoxHandler([](const MessageBoxCall& call) -> int {
        std::fprintf(stderr, "unexpected box: %s: %s\n", call.caption.c_str(), call.text.c_str());
        std::abort();
    });
}

LineTimings QuickStart()
{
    LineTimings timings;
    timings.pump.startWaitMs = 0;
    return timings;
}

double CpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A report line of exactly kLineLength characters, line end included.
void MakeLine(char (&line)[kLineLength + 1], int number)
{
    std::snprintf(line, sizeof line, "line %08u %-44s\r\n", static_cast<unsigned>(number) % 100000000u,
                  "of a busy device on the line");
}

void AppendLines(benchmark::State& state)
{
    Application();
    FailOnMessageBox();
    CChildView view(QuickStart());
    view.resize(800, 600);
    view.show();

    char line[kLineLength + 1];
    int number = 0;
    // Filled up to the first trim.
    do
        MakeLine(line, ++number);
    while (view.Session().AppendReport(line) == 0);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (auto _ : state) {
        MakeLine(line, ++number);
        view.Session().AppendReport(line);
        // Appends arrive from events, so the loop runs in between, with its
        // timers and repaints; a millisecond of appends per pass.
        if (sinceEvents.elapsed() >= 1) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["report_chars"] = view.Session().Report().Length();
}
BENCHMARK(AppendLines)->Iterations(3000000)->UseRealTime()->Unit(benchmark::kNanosecond);

// One Orvane 1.1 packet to node 63 from a node of the bus.
std::string Packet11(const std::string& payload)
{
    const auto length = static_cast<unsigned char>(payload.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(payload.data());
    const int sum = Checksum11(bytes, static_cast<int>(payload.size()));
    return std::string{'\x7F', static_cast<char>(length), static_cast<char>(length ^ 0xFF)} + payload +
           static_cast<char>(sum & 0xFF);
}

// Register replies, 16- and 32-bit, from several nodes: the polling traffic of a bus.
std::string BusTraffic()
{
    std::string traffic;
    for (int i = 0; i < 64; ++i) {
        const char node = static_cast<char>(1 + i % 12);
        const char reg = static_cast<char>(i % 16);
        const char low = static_cast<char>(i * 7);
        const char high = static_cast<char>(i);
        if (i % 4 == 3)
            traffic += Packet11({static_cast<char>(0x70 | reg), node, low, high, '\x01', '\x00'});
        else
            traffic += Packet11({static_cast<char>(0x60 | reg), node, low, high});
    }
    return traffic;
}

// The far side: writes traffic at the line's byte rate until told to stop.
void WriteAtLineRate(int master, const std::string& traffic, const std::atomic<bool>& stop,
                     double& cpuSeconds)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    long long written = 0;
    std::size_t at = 0;
    while (!stop.load()) {
        const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = static_cast<long long>(elapsed * kBytesPerSecond);
        while (written < due) {
            const std::size_t piece = std::min<std::size_t>(static_cast<std::size_t>(due - written),
                                                            traffic.size() - at);
            const ssize_t n = write(master, traffic.data() + at, piece);
            if (n <= 0)
                break;
            written += n;
            at = (at + static_cast<std::size_t>(n)) % traffic.size();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kWriterTickMs));
    }
    cpuSeconds = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

void StreamInto(benchmark::State& state, CChildView& view, int master)
{
    const std::string traffic = BusTraffic();
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        double writerCpu = 0;
        const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const double uiBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        QElapsedTimer wall;
        wall.start();
        std::thread writer(WriteAtLineRate, master, std::cref(traffic), std::cref(stop),
                           std::ref(writerCpu));
        QEventLoop loop;
        QTimer::singleShot(kStreamSeconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        stop.store(true);
        writer.join();
        const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - writerCpu;
        const double ui = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - uiBefore;
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        state.SetIterationTime(seconds);
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / seconds;
        state.counters["ui_thread_percent"] = 100.0 * ui / seconds;
        state.counters["bytes_per_second"] = static_cast<double>(view.Session().ReceivedBytes()) / seconds;
        state.counters["report_chars"] = view.Session().Report().Length();
    }
}

void OrvaneStream115200(benchmark::State& state)
{
    Application();
    FailOnMessageBox();
    int master = -1;
    int slave = -1;
    char path[128] = {};
    if (openpty(&master, &slave, path, nullptr, nullptr) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);

    {
        CChildView view(QuickStart());
        view.resize(800, 600);
        view.show();
        view.Session().Ports().SetUserPath("COM7", path);
        view.Session().SetReceiveConversion(kConversionOV11);
        view.Session().SetReceiveEnable(true);
        RawMode = 0;
        if (view.Session().ComReopen("\\\\.\\COM7", 115200) == 0)
            StreamInto(state, view, master);
        else
            state.SkipWithError("cannot open the pseudo-terminal");
    }
    close(slave);
    close(master);
}
BENCHMARK(OrvaneStream115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
