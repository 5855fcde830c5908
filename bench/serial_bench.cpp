// The receive pump over a pseudo-terminal: how long a byte takes from the far
// side into the ring, and how many bytes a second the reader moves into the
// ring while a consumer drains it as the view would.

#include "serial/CComPort.h"
#include "serial/CFIFO.h"
#include "serial/CReceivePump.h"
#include "xrate/MessageBox.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
    Pty()
    {
        char name[128] = {};
        openpty(&master, &slave, name, nullptr, nullptr);
        path = name;
    }
    ~Pty()
    {
        close(master);
        close(slave);
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

// Data-arrived notices, as the view's posted events.
struct Notices {
    std::mutex mutex;
    std::condition_variable wake;
    long pending = 0;
    Clock::time_point last;

    void Post()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++pending;
            last = Clock::now();
        }
        wake.notify_one();
    }
    // Waits for a notice; false when none came within ms.
    bool Take(int ms, Clock::time_point* when = nullptr)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return pending > 0; }))
            return false;
        --pending;
        if (when)
            *when = last;
        return true;
    }
};

struct Line {
    Line() : port(nullptr), pump(nullptr, port, ring, Timings())
    {
        PortMap map;
        map.SetUserPath("COM3", pty.path);
        port.SetPortMap(map);
        ok = port.ComReopen("\\\\.\\COM3", 115200) == 0;
        pump.StartReceiveThread([this](int) { notices.Post(); }, {});
    }
    static PumpTimings Timings()
    {
        PumpTimings timings;
        timings.startWaitMs = 0;
        return timings;
    }
    Pty pty;
    CComPort port;
    CFIFO ring;
    CReceivePump pump;
    Notices notices;
    bool ok = false;
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const std::size_t at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

// One byte at a time, with a quiet gap between, as typed or polled traffic
// arrives: the time from the far side's write to the notice that follows
// the byte's store in the ring.
void BM_ReadLatency(benchmark::State& state)
{
    Line line;
    if (!line.ok) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    std::vector<double> latencies;
    unsigned gap = 1;
    for (auto _ : state) {
        gap = gap * 1103515245u + 12345u;
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + (gap >> 8) % 40000));
        const Clock::time_point sent = Clock::now();
        if (write(line.pty.master, "x", 1) != 1) {
            state.SkipWithError("far side write failed");
            break;
        }
        Clock::time_point stored;
        if (!line.notices.Take(2000, &stored)) {
            state.SkipWithError("byte never arrived");
            break;
        }
        const double seconds = std::chrono::duration<double>(stored - sent).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000.0);
        // Taken as the user-interface thread takes it, which also re-arms
        // the reader's notice.
        line.pump.OnReceive({});
    }
    if (!latencies.empty()) {
        state.counters["median_ms"] = Percentile(latencies, 0.5);
        state.counters["p99_ms"] = Percentile(latencies, 0.99);
        state.counters["max_ms"] = Percentile(latencies, 1.0);
    }
}
BENCHMARK(BM_ReadLatency)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);

// The far side writes at range(0) KiB/s (0: as fast as the pseudo-terminal
// takes it); a consumer thread answers every notice with OnReceive, as the
// user-interface thread does. Reports the bytes that reached the consumer per
// second and the bytes the ring had to drop.
void BM_ReaderThroughput(benchmark::State& state)
{
    Line line;
    if (!line.ok) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    fcntl(line.pty.master, F_SETFL, fcntl(line.pty.master, F_GETFL) | O_NONBLOCK);
    int overflowBoxes = 0;
    const MessageBoxHandler previous = SetMessageBoxHandler([&overflowBoxes](const MessageBoxCall&) {
        ++overflowBoxes;
        return kIdOk;
    });
    const double bytesPerSecond = static_cast<double>(state.range(0)) * 1024.0;
    const auto run = std::chrono::milliseconds(1500);

    for (auto _ : state) {
        std::atomic<bool> writing{true};
        long long written = 0;
        const Clock::time_point start = Clock::now();
        std::thread far([&] {
            std::vector<char> block(4096, 'd');
            while (writing.load()) {
                std::size_t want = block.size();
                if (bytesPerSecond > 0) {
                    const double due = bytesPerSecond * std::chrono::duration<double>(Clock::now() - start).count();
                    if (due - static_cast<double>(written) < 1.0) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        continue;
                    }
                    want = std::min(want, static_cast<std::size_t>(due - static_cast<double>(written)));
                }
                const ssize_t put = write(line.pty.master, block.data(), want);
                if (put > 0) {
                    written += put;
                } else {
                    pollfd entry{line.pty.master, POLLOUT, 0};
                    poll(&entry, 1, 10);
                }
            }
        });

        long long taken = 0;
        CReceivePump::Consumer consumer = [&taken](const unsigned char*, int count) { taken += count; };
        while (Clock::now() - start < run) {
            if (line.notices.Take(50))
                line.pump.OnReceive(consumer);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const long long takenInRun = taken;
        writing = false;
        far.join();
        // Drain what is still on its way so every byte is accounted for.
        while (line.notices.Take(300))
            line.pump.OnReceive(consumer);
        while (true) {
            const long long before = taken;
            line.pump.OnReceive(consumer);
            if (taken == before)
                break;
        }
        state.SetIterationTime(seconds);
        state.counters["MiB_per_s"] = static_cast<double>(takenInRun) / seconds / (1024.0 * 1024.0);
        state.counters["dropped_bytes"] = static_cast<double>(written - taken);
        state.counters["written_bytes"] = static_cast<double>(written);
    }
    state.counters["overflow_boxes"] = overflowBoxes;
    SetMessageBoxHandler(previous);
}
BENCHMARK(BM_ReaderThroughput)
    ->Arg(12)   // a 115200 bps line
    ->Arg(90)   // a 921600 bps line
    ->Arg(256)
    ->Arg(1024)
    ->Arg(0)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
