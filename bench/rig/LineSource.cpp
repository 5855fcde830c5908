#include "bench/rig/LineSource.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <thread>

#include <sched.h>
#include <unistd.h>

namespace {

// The most one write hands the line.
constexpr std::size_t kTickBufferLimit = std::size_t(8) << 20;

} // namespace

FeedResult FeedAtRate(int master, const Traffic& traffic, double bytesPerSecond, double seconds,
                      int tickUs)
{
    FeedResult result;
    const int size = traffic.RecordSize();
    const auto tick = std::chrono::microseconds(tickUs);
    std::vector<unsigned char> buffer;
    long long sent = 0;  // records handed to the line or dropped
    const RigClock::time_point start = RigClock::now();
    const RigClock::time_point end = start + std::chrono::duration_cast<RigClock::duration>(
                                                 std::chrono::duration<double>(seconds));
    RigClock::time_point next = start;
    // Time the rig itself lost to a starved tick. Those bytes never become
    // due: a burst to make up for them would overrun the line through no
    // fault of the receiver.
    RigClock::duration skipped{};
    for (;;) {
        next += tick;
        std::this_thread::sleep_until(std::min(next, end));
        const RigClock::time_point now = RigClock::now();
        if (now < end && now - next > 2 * tick) {
            ++result.lateTicks;
            skipped += now - next;
            next = now;
        }
        const double elapsed =
            std::chrono::duration<double>(std::min(now, end) - start - skipped).count();
        const auto due = static_cast<long long>(bytesPerSecond * elapsed / size);
        if (due > sent) {
            const std::size_t bytes = std::min<std::size_t>(
                static_cast<std::size_t>((due - sent) * size), kTickBufferLimit / size * size);
            buffer.resize(bytes);
            for (std::size_t at = 0; at < bytes; at += static_cast<std::size_t>(size))
                traffic.Record(sent + static_cast<long long>(at) / size, buffer.data() + at);
            ssize_t put = write(master, buffer.data(), bytes);
            while (put < 0 && errno == EINTR)
                put = write(master, buffer.data(), bytes);
            const long long taken = put > 0 ? put : 0;
            result.written += taken;
            result.dropped += static_cast<long long>(bytes) - taken;
            sent += static_cast<long long>(bytes) / size;
        }
        if (now >= end)
            break;
    }
    result.records = sent;
    result.seconds = std::chrono::duration<double>(RigClock::now() - start).count();
    return result;
}

std::vector<RigClock::time_point> FeedSingles(int master, int count, int gapMinMs, int gapMaxMs)
{
    std::vector<RigClock::time_point> sent;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> gapUs(gapMinMs * 1000, gapMaxMs * 1000);
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
        const unsigned char byte = static_cast<unsigned char>('a' + i % 26);
        const RigClock::time_point now = RigClock::now();
        if (write(master, &byte, 1) != 1)
            break;
        sent.push_back(now);
    }
    return sent;
}

bool TryRealtimePriority()
{
    sched_param param{};
    param.sched_priority = 10;
    return sched_setscheduler(0, SCHED_FIFO, &param) == 0;
}

void DropRealtimePriority()
{
    sched_param param{};
    param.sched_priority = 0;
    sched_setscheduler(0, SCHED_OTHER, &param);
}
