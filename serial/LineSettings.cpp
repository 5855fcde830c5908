#include "serial/LineSettings.h"

namespace {

struct RateEntry {
    int baud;
    speed_t speed;
};

constexpr RateEntry kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr tcflag_t kRawInputOff = IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | INPCK;
constexpr tcflag_t kRawLocalOff = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
constexpr tcflag_t kFrameBits = CSIZE | PARENB | CSTOPB | CREAD | CLOCAL;

} // namespace

bool RateToSpeed(int baud, speed_t& speed)
{
    for (const RateEntry& entry : kRates) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

termios MakeLineSettings(const termios& current, speed_t speed)
{
    termios wanted = current;
    wanted.c_iflag &= ~kRawInputOff;
    wanted.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    wanted.c_lflag &= ~kRawLocalOff;
    // No input rate of its own: a split rate left by another program (or by
    // an arbitrary rate set before) would otherwise go on receiving at it.
    wanted.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CIBAUD);
    wanted.c_cflag |= CS8 | CREAD | CLOCAL;
    wanted.c_cc[VMIN] = 1;
    wanted.c_cc[VTIME] = 0;
    cfsetispeed(&wanted, speed);
    cfsetospeed(&wanted, speed);
    return wanted;
}

bool LineSettingsTaken(const termios& wanted, const termios& got)
{
    return cfgetospeed(&got) == cfgetospeed(&wanted) &&
           cfgetispeed(&got) == cfgetispeed(&wanted) && LineFrameTaken(wanted, got);
}

bool LineFrameTaken(const termios& wanted, const termios& got)
{
    return (got.c_cflag & kFrameBits) == (wanted.c_cflag & kFrameBits) && (got.c_cflag & CIBAUD) == 0 &&
           (got.c_iflag & kRawInputOff) == 0 && (got.c_oflag & OPOST) == 0 &&
           (got.c_lflag & kRawLocalOff) == 0;
}
