#include "sim/SimLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

std::string Reason(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

// A fresh pseudo-terminal is canonical and echoes; a bus line does neither.
int MakeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return -1;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

int SimLine::Open(std::string& error)
{
    Close();
    // The master never blocks the bus's loop; neither end leaks into children.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master < 0) {
        const int failure = errno;
        error = Reason("cannot open a pseudo-terminal", failure);
        return -1;
    }
    char name[PATH_MAX];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        const int failure = errno;
        error = Reason("cannot open a pseudo-terminal", failure);
        close(master);
        return -1;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        const int failure = errno;
        error = Reason(std::string("cannot open ") + name, failure);
        close(master);
        return -1;
    }
    if (MakeRaw(slave) != 0) {
        const int failure = errno;
        error = Reason("cannot set up the pseudo-terminal", failure);
        close(slave);
        close(master);
        return -1;
    }
    m_master = master;
    m_slave = slave;
    m_path = name;
    return 0;
}

int SimLine::PlaceLink(const std::string& linkPath, std::string& error)
{
    struct stat existing {};
    if (lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = "'" + linkPath + "' exists and is not a symbolic link";
            return -1;
        }
        // A link left by an earlier run that did not end cleanly.
        if (unlink(linkPath.c_str()) != 0) {
            const int failure = errno;
            error = Reason("cannot replace '" + linkPath + "'", failure);
            return -1;
        }
    }
    if (symlink(m_path.c_str(), linkPath.c_str()) != 0) {
        const int failure = errno;
        error = Reason("cannot place the link '" + linkPath + "'", failure);
        return -1;
    }
    m_link = linkPath;
    return 0;
}

void SimLine::Close()
{
    if (!m_link.empty()) {
        char target[PATH_MAX];
        const ssize_t size = readlink(m_link.c_str(), target, sizeof target - 1);
        if (size >= 0 && m_path == std::string(target, static_cast<std::size_t>(size)))
            unlink(m_link.c_str());
        m_link.clear();
    }
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
    m_slave = -1;
    m_master = -1;
    m_path.clear();
}

int SimLine::Unread() const
{
    int count = 0;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &count) != 0)
        return 0;
    return count;
}

} // namespace sim
