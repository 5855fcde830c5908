#include "bench/rig/Receiver.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool MakePipe(int ends[2])
{
    return pipe2(ends, O_CLOEXEC) == 0;
}

void CloseIfOpen(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

Receiver::Receiver(const std::vector<std::string>& argv)
{
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (argv.empty() || !MakePipe(in) || !MakePipe(out) || !MakePipe(err))
        return;

    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    m_start = RigClock::now();
    m_lastOutput = m_start;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execvp(args[0], args.data());
        std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(errno));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (pid < 0) {
        close(in[1]);
        close(out[0]);
        close(err[0]);
        return;
    }
    m_pid = pid;
    m_input = in[1];
    m_capture = std::thread(&Receiver::Capture, this, out[0], err[0]);
}

Receiver::~Receiver()
{
    if (m_pid > 0 && !m_reaped)
        Finish(0);
    if (m_capture.joinable())
        m_capture.join();
}

void Receiver::Capture(int outFd, int errFd)
{
    std::vector<char> buffer(1 << 16);
    pollfd entries[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (poll(entries, 2, 100) < 0 && errno != EINTR)
            break;
        for (pollfd& entry : entries) {
            if (entry.fd < 0 || entry.revents == 0)
                continue;
            const ssize_t got = read(entry.fd, buffer.data(), buffer.size());
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0) {
                close(entry.fd);
                entry.fd = -1;
                --open;
                continue;
            }
            const RigClock::time_point now = RigClock::now();
            std::lock_guard<std::mutex> lock(m_mutex);
            if (entry.fd == outFd) {
                m_outputCount += got;
                m_lastOutput = now;
                if (m_keeping) {
                    m_kept.append(buffer.data(), static_cast<std::size_t>(got));
                    m_arrivals.push_back({static_cast<long long>(m_kept.size()), now});
                }
            } else {
                m_errors.append(buffer.data(), static_cast<std::size_t>(got));
            }
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
}

long long Receiver::OutputCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputCount;
}

RigClock::time_point Receiver::LastOutputTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastOutput;
}

std::string Receiver::Errors() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
}

bool Receiver::Exited() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

void Receiver::StartKeeping()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keeping = true;
    m_kept.clear();
    // Room for a fast trial up front, so that growing the buffer never
    // holds up the drain of the pipe.
    m_kept.reserve(std::size_t(64) << 20);
    m_arrivals.clear();
}

long long Receiver::KeptCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<long long>(m_kept.size());
}

std::string Receiver::KeptHead(std::size_t count) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_kept.substr(0, count);
}

std::string Receiver::KeptFrom(std::size_t offset) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return offset < m_kept.size() ? m_kept.substr(offset) : std::string();
}

std::string Receiver::TakeKept(std::vector<Arrival>* arrivals)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keeping = false;
    if (arrivals)
        *arrivals = std::move(m_arrivals);
    m_arrivals.clear();
    return std::move(m_kept);
}

int Receiver::Finish(int graceMs)
{
    if (m_pid <= 0 || m_reaped)
        return m_status;
    CloseIfOpen(m_input);
    const auto waitFor = [this](int ms) {
        const RigClock::time_point end = RigClock::now() + std::chrono::milliseconds(ms);
        do {
            if (waitpid(m_pid, &m_status, WNOHANG) == m_pid)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (RigClock::now() < end);
        return false;
    };
    m_reaped = waitFor(graceMs);
    if (!m_reaped) {
        kill(m_pid, SIGTERM);
        m_reaped = waitFor(2000);
    }
    if (!m_reaped) {
        kill(m_pid, SIGKILL);
        m_reaped = waitpid(m_pid, &m_status, 0) == m_pid;
    }
    if (m_capture.joinable())
        m_capture.join();
    return m_status;
}
