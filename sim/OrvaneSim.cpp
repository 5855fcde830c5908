#include "sim/OrvaneSim.h"

#include "sim/SimBus.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace sim {

namespace {

// Beyond this many unwritten bytes nobody is reading; further output is dropped.
constexpr std::size_t kMaxQueuedBytes = 256 * 1024;
// Unread bytes on the device that mean no monitor is listening: traffic waits,
// so a monitor that opens the device later finds little stale data.
constexpr int kListenerSlack = 1024;
// How long to wait before serving again after the line reported a hang-up.
constexpr int kHangUpPauseMs = 100;

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t Earliest(int64_t a, int64_t b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

} // namespace

OrvaneSim::OrvaneSim() = default;

OrvaneSim::~OrvaneSim()
{
    Stop();
}

int OrvaneSim::Start(const SimOptions& options, std::string& error)
{
    if (Running()) {
        error = "the simulator is already running";
        return -1;
    }
    if (options.nodes.empty()) {
        error = "a bus needs at least one node";
        return -1;
    }
    if (m_line.Open(error) != 0)
        return -1;
    if (!options.link.empty() && m_line.PlaceLink(options.link, error) != 0) {
        m_line.Close();
        return -1;
    }
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        const int failure = errno;
        error = std::string("cannot make the simulator's wake-up pipe: ") + std::strerror(failure);
        m_line.Close();
        return -1;
    }
    m_bus = std::make_unique<SimBus>(options.nodes, options.version, options.faults, options.pauseMs);
    m_trafficMs = options.trafficMs;
    m_queue.clear();
    m_queuedBytes = 0;
    m_headOffset = 0;
    m_thread = std::thread(&OrvaneSim::Run, this);
    return 0;
}

void OrvaneSim::Stop()
{
    if (m_thread.joinable()) {
        const char wake = 1;
        while (write(m_wake[1], &wake, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    CloseWake();
    m_line.Close();
    m_bus.reset();
}

void OrvaneSim::CloseWake()
{
    for (int& fd : m_wake) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

void OrvaneSim::Enqueue(std::vector<LinePiece>& pieces, int64_t nowMs)
{
    if (pieces.empty())
        return;
    std::size_t size = 0;
    for (const LinePiece& piece : pieces)
        size += piece.bytes.size();
    if (m_queuedBytes + size <= kMaxQueuedBytes) {
        if (m_queue.empty()) {
            m_headOffset = 0;
            m_headDueMs = nowMs + pieces.front().pauseMs;
        }
        for (LinePiece& piece : pieces)
            m_queue.push_back(std::move(piece));
        m_queuedBytes += size;
    }
    pieces.clear();
}

void OrvaneSim::Flush(int64_t nowMs)
{
    while (HeadReady(nowMs)) {
        const std::vector<unsigned char>& bytes = m_queue.front().bytes;
        const ssize_t written =
            write(m_line.Master(), bytes.data() + m_headOffset, bytes.size() - m_headOffset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN)
            return; // the device's input is full; POLLOUT says when to go on
        if (written > 0)
            m_headOffset += static_cast<std::size_t>(written);
        // A write error other than a full buffer loses the piece, not the bus.
        if (written < 0 || m_headOffset == bytes.size()) {
            m_queuedBytes -= bytes.size();
            m_queue.pop_front();
            m_headOffset = 0;
            nowMs = NowMs();
            if (!m_queue.empty())
                m_headDueMs = nowMs + m_queue.front().pauseMs;
        }
    }
}

bool OrvaneSim::ReadRequests()
{
    unsigned char buffer[4096];
    std::vector<LinePiece> out;
    for (;;) {
        const ssize_t got = read(m_line.Master(), buffer, sizeof buffer);
        if (got > 0) {
            m_bus->Hear(buffer, static_cast<std::size_t>(got), NowMs(), out);
            Enqueue(out, NowMs());
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 && errno == EAGAIN;
    }
}

void OrvaneSim::Run()
{
    SimBus& bus = *m_bus;
    std::vector<LinePiece> out;
    int64_t nextTrafficMs = m_trafficMs > 0 ? NowMs() + m_trafficMs : -1;
    int hangUpPauseMs = 0;

    for (;;) {
        int64_t now = NowMs();
        int64_t deadline = Earliest(bus.Deadline(), nextTrafficMs);
        if (!m_queue.empty() && !HeadReady(now))
            deadline = Earliest(deadline, m_headDueMs);
        int timeout = deadline < 0 ? -1 : static_cast<int>(std::clamp<int64_t>(deadline - now, 0, 60000));
        pollfd fds[2] = {{m_wake[0], POLLIN, 0},
                         {m_line.Master(), static_cast<short>(POLLIN | (HeadReady(now) ? POLLOUT : 0)), 0}};
        nfds_t count = 2;
        if (hangUpPauseMs > 0) {
            count = 1;
            timeout = timeout < 0 ? hangUpPauseMs : std::min(timeout, hangUpPauseMs);
            hangUpPauseMs = 0;
        }
        if (poll(fds, count, timeout) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;

        if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) && !ReadRequests())
            hangUpPauseMs = kHangUpPauseMs;

        now = NowMs();
        bus.Expire(now, out);
        Enqueue(out, now);
        if (nextTrafficMs >= 0 && now >= nextTrafficMs) {
            if (m_line.Unread() < kListenerSlack) {
                bus.Traffic(out);
                Enqueue(out, now);
            }
            nextTrafficMs = std::max(nextTrafficMs + m_trafficMs, now + 1);
        }
        Flush(now);
    }
}

} // namespace sim
