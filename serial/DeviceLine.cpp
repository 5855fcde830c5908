#include "serial/DeviceLine.h"

#include "serial/LineRate.h"
#include "serial/LineSettings.h"
#include "serial/PortErrors.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

DeviceLine::DeviceLine(int fd, std::string path, LineDriver& driver, ApplySettings apply)
    : m_fd(fd), m_path(std::move(path)), m_driver(driver), m_apply(std::move(apply))
{
}

std::unique_ptr<DeviceLine> DeviceLine::Open(const std::string& path, LineDriver& driver,
                                             ApplySettings apply, std::string& detail)
{
    // Non-blocking: the open must not wait for a carrier, and reads and
    // writes keep their time-outs by poll().
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        detail = OpenFailureDetail(path, errno);
        return nullptr;
    }
    // flock keeps out every other opener that asks, root included; TIOCEXCL
    // also keeps out programs that do not ask, where the device supports it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        detail = OpenFailureDetail(path, err);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    return std::unique_ptr<DeviceLine>(new DeviceLine(fd, path, driver, std::move(apply)));
}

DeviceLine::~DeviceLine()
{
    ioctl(m_fd, TIOCNXCL);
    close(m_fd);
}

LineSetup DeviceLine::Configure(int baud, std::string& detail)
{
    const int fd = m_fd;
    termios current{};
    if (tcgetattr(fd, &current) != 0) {
        detail = SystemDetail(m_path, errno);
        return LineSetup::kCannotRead;
    }
    speed_t speed = B0;
    const bool standard = RateToSpeed(baud, speed);
    if (!standard && !IsLineRate(baud)) {
        char reason[96];
        std::snprintf(reason, sizeof reason, ": the rate %d bps is outside %d to %d bps", baud, kMinLineRate,
                      kMaxLineRate);
        detail = m_path + reason;
        return LineSetup::kRejected;
    }
    // A rate without a speed constant goes in apart, after the frame; until
    // then the line keeps the rate it has.
    int previousRate = 0;
    int previousInputRate = 0;
    if (!standard) {
        speed = cfgetospeed(&current);
        ReadLineRates(fd, previousRate, previousInputRate);
    }
    // The old record brings back a constant rate; an arbitrary one the
    // kernel takes from the rate now set, so it goes back in apart.
    const auto restore = [&] {
        tcsetattr(fd, TCSANOW, &current);
        int output = 0;
        int input = 0;
        if (!standard && previousRate > 0 && ReadLineRates(fd, output, input) == 0 && output != previousRate)
            m_driver.SetArbitraryRate(fd, previousRate);
    };
    const termios wanted = MakeLineSettings(current, speed);
    if (m_apply(fd, wanted) != 0) {
        detail = SystemDetail(m_path, errno);
        tcsetattr(fd, TCSANOW, &current);
        return LineSetup::kRejected;
    }
    if (!standard && m_driver.SetArbitraryRate(fd, baud) != 0) {
        detail = SystemDetail(m_path, errno);
        restore();
        return LineSetup::kRejected;
    }
    termios got{};
    int gotRate = 0;
    int gotInputRate = 0;
    const bool taken = standard ? tcgetattr(fd, &got) == 0 && LineSettingsTaken(wanted, got)
                                : tcgetattr(fd, &got) == 0 && LineFrameTaken(wanted, got) &&
                                      ReadLineRates(fd, gotRate, gotInputRate) == 0 &&
                                      RateTaken(baud, gotRate) && RateTaken(baud, gotInputRate);
    if (!taken) {
        detail = m_path + ": the device did not take the line settings";
        restore();
        return LineSetup::kRejected;
    }
    return LineSetup::kDone;
}

PortReadResult DeviceLine::Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts)
{
    return ReadWithTimeouts(m_fd, buffer, size, timeouts.enough, timeouts.intervalMs, timeouts.totalMs,
                            timeouts.gatherMs);
}

PortWriteResult DeviceLine::Write(const char* bytes, long long length, long long timeoutMs)
{
    return WriteWithin(m_fd, bytes, length, timeoutMs);
}

int DeviceLine::GetModemLines(int& bits)
{
    return m_driver.GetModemLines(m_fd, bits);
}

int DeviceLine::WaitModemChange()
{
    return m_driver.WaitModemChange(m_fd);
}

int DeviceLine::SetModemLines(int bits, bool on)
{
    return m_driver.SetModemLines(m_fd, bits, on);
}

int DeviceLine::SetBreak(bool on)
{
    return m_driver.SetBreak(m_fd, on);
}
