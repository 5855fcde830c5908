#include "PtyPair.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair(speed_t speed)
{
    char name[128] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "openpty failed, errno " << errno;
        return;
    }
    m_slavePath = name;
    termios settings{};
    tcgetattr(m_slave, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, speed);
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair()
{
    CloseMaster();
    if (m_slave >= 0)
        close(m_slave);
}

void PtyPair::Write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(m_master, bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
        } else if (put < 0 && errno == EAGAIN) {
            pollfd entry{m_master, POLLOUT, 0};
            poll(&entry, 1, 100);
        } else if (!(put < 0 && errno == EINTR)) {
            ADD_FAILURE() << "far side write failed, errno " << errno;
            return;
        }
    }
}

std::string PtyPair::Read(int waitMs, std::size_t max)
{
    std::string got;
    char buffer[4096];
    while (got.size() < max) {
        pollfd entry{m_master, POLLIN, 0};
        if (poll(&entry, 1, waitMs) <= 0 || !(entry.revents & POLLIN))
            break;
        const std::size_t want = std::min(sizeof buffer, max - got.size());
        const ssize_t n = read(m_master, buffer, want);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void PtyPair::CloseMaster()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}

termios PtyPair::SlaveSettings() const
{
    termios settings{};
    tcgetattr(m_slave, &settings);
    return settings;
}
