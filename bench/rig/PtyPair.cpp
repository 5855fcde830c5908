#include "bench/rig/PtyPair.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    termios raw{};
    if (tcgetattr(slave, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_master = master;
    m_slave = slave;
    m_path = name;
}

PtyPair::~PtyPair()
{
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
}

int PtyPair::Pending() const
{
    int count = 0;
    if (ioctl(m_slave, FIONREAD, &count) != 0)
        return 0;
    return count;
}
