#include "PseudoTerminal.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    char name[128] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    // A fresh slave is canonical and echoes; a serial line does neither.
    termios settings{};
    tcgetattr(m_slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = name;
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
}

void PseudoTerminal::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(m_master, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd wait{m_master, POLLOUT, 0};
            poll(&wait, 1, 100);
        }
    }
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
        pollfd wait{m_master, POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

std::string PseudoTerminal::ReadUntilQuiet(int quietMs)
{
    std::string got;
    for (;;) {
        pollfd wait{m_master, POLLIN, 0};
        if (poll(&wait, 1, quietMs) <= 0)
            return got;
        char buffer[512];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return got;
        got.append(buffer, static_cast<std::size_t>(n));
    }
}
