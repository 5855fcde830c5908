#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace testsupport {

PseudoTerminal::PseudoTerminal(speed_t speed)
{
    char name[128] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "openpty failed, errno " << errno;
        m_master = m_slave = -1;
        return;
    }
    m_path = name;
    termios settings{};
    tcgetattr(m_slave, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, speed);
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    HangUp();
    if (m_slave >= 0)
        close(m_slave);
}

// The helper's own slave descriptor stays open until it goes, so the device
// number is not handed to the next pseudo-terminal a test makes meanwhile.
void PseudoTerminal::HangUp()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}

termios PseudoTerminal::SlaveSettings() const
{
    termios settings{};
    tcgetattr(m_slave, &settings);
    return settings;
}

bool PseudoTerminal::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = write(m_master, bytes.data(), bytes.size());
        if (put > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
        } else if (put < 0 && errno == EAGAIN) {
            pollfd entry{m_master, POLLOUT, 0};
            poll(&entry, 1, 100);
        } else if (!(put < 0 && errno == EINTR)) {
            ADD_FAILURE() << "far side write failed, errno " << errno;
            return false;
        }
    }
    return true;
}

std::string PseudoTerminal::Read(std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd entry{m_master, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

std::string PseudoTerminal::ReadUntilQuiet(int quietMs, std::size_t max)
{
    std::string got;
    char buffer[4096];
    while (got.size() < max) {
        pollfd entry{m_master, POLLIN, 0};
        if (poll(&entry, 1, quietMs) <= 0 || !(entry.revents & POLLIN))
            break;
        const ssize_t n = read(m_master, buffer, std::min(sizeof buffer, max - got.size()));
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

std::string PseudoTerminal::ReadReply(int firstMs)
{
    pollfd entry{m_master, POLLIN, 0};
    if (poll(&entry, 1, firstMs) <= 0 || !(entry.revents & POLLIN))
        return {};
    return ReadUntilQuiet(50);
}

int PseudoTerminal::Pending() const
{
    int count = 0;
    return ioctl(m_slave, FIONREAD, &count) == 0 ? count : 0;
}

} // namespace testsupport
