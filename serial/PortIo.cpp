#include "serial/PortIo.h"
#include "serial/SocketIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Waits for events on fd until the deadline: the events seen, 0 when the
// deadline passed, -1 with errno on failure.
int PollUntil(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        // A deadline already passed still gets one look, without waiting.
        const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec wait{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd entry{fd, events, 0};
        const int ready = ppoll(&entry, 1, &wait, nullptr);
        if (ready > 0)
            return entry.revents;
        if (ready == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

// errno values with which a read tells that the device is gone.
bool IsHangUpError(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

} // namespace

PortReadResult ReadWithTimeouts(int fd, unsigned char* buffer, int size, int enough,
                                int intervalMs, int totalMs, int gatherMs)
{
    PortReadResult result{0, false, 0};
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(totalMs);
    Clock::time_point deadline = end;
    Clock::time_point lastRead = end;
    while (result.count < size) {
        const int events = PollUntil(fd, POLLIN, deadline);
        if (events == 0)
            break;
        if (events < 0) {
            result.error = errno;
            break;
        }
        if (events & POLLNVAL) {
            result.hungUp = true;
            break;
        }
        const ssize_t got = read(fd, buffer + result.count, static_cast<size_t>(size - result.count));
        if (got > 0) {
            const Clock::time_point now = Clock::now();
            const long long sinceLastRead =
                result.count == 0
                    ? 0
                    : std::chrono::duration_cast<std::chrono::microseconds>(now - lastRead).count();
            result.count += static_cast<int>(got);
            lastRead = now;
            const Clock::time_point quiet = now + std::chrono::milliseconds(intervalMs);
            deadline = quiet < end ? quiet : end;
            if (result.count >= enough) {
                // Take only what is already there.
                deadline = now;
                continue;
            }
            const Clock::time_point gathered =
                now + std::chrono::microseconds(GatherPauseUs(static_cast<int>(got), sinceLastRead, gatherMs));
            if (gathered < deadline)
                std::this_thread::sleep_until(gathered);
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (events & (POLLHUP | POLLERR)) {
                result.hungUp = true;
                break;
            }
            continue;
        }
        // A read of 0 after poll said readable, or a read failing with a
        // device error: the line is gone. Anything else is a plain failure.
        if (got == 0 || IsHangUpError(errno))
            result.hungUp = true;
        else
            result.error = errno;
        break;
    }
    return result;
}

long long GatherPauseUs(int got, long long sinceLastReadUs, int gatherMs)
{
    // Small enough that no device buffer (a pseudo-terminal's holds 20 KiB)
    // comes near full while the reader pauses; large enough that a slow line
    // is looked at only every gatherMs.
    constexpr long long kGatherBytes = 1024;
    // No pause before the rate is known: on a fast line even a short one
    // would cap what a read can take.
    if (got <= 0 || sinceLastReadUs <= 0)
        return 0;
    return std::min(1000LL * gatherMs, kGatherBytes * sinceLastReadUs / got);
}

namespace {

// Puts bytes on fd with put (write, or send for a socket) until all are
// taken, put fails, or the time-out runs out.
template <typename Put>
PortWriteResult PutWithin(int fd, const char* bytes, long long length, long long timeoutMs, Put put)
{
    PortWriteResult result{0, 0};
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (result.written < length) {
        const ssize_t taken = put(fd, bytes + result.written, static_cast<size_t>(length - result.written));
        if (taken > 0) {
            result.written += taken;
            continue;
        }
        if (taken < 0 && errno == EINTR)
            continue;
        if (taken < 0 && errno != EAGAIN) {
            result.error = errno;
            break;
        }
        const int events = PollUntil(fd, POLLOUT, deadline);
        if (events == 0)
            break;
        if (events < 0) {
            result.error = errno;
            break;
        }
    }
    return result;
}

} // namespace

PortWriteResult WriteWithin(int fd, const char* bytes, long long length, long long timeoutMs)
{
    return PutWithin(fd, bytes, length, timeoutMs, [](int to, const char* from, size_t count) {
        return write(to, from, count);
    });
}

PortWriteResult SendWithin(int fd, const char* bytes, long long length, long long timeoutMs)
{
    return PutWithin(fd, bytes, length, timeoutMs, [](int to, const char* from, size_t count) {
        return send(to, from, count, MSG_NOSIGNAL);
    });
}
