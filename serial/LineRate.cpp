#include "serial/LineRate.h"

#include <cstdlib>

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool IsLineRate(int rate)
{
    return rate >= kMinLineRate && rate <= kMaxLineRate;
}

int SetArbitraryRate(int fd, int rate)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return -1;
    // No input rate field: the line receives at the rate it sends.
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ospeed = static_cast<speed_t>(rate);
    settings.c_ispeed = static_cast<speed_t>(rate);
    return ioctl(fd, TCSETS2, &settings);
}

int ReadLineRates(int fd, int& output, int& input)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return -1;
    output = static_cast<int>(settings.c_ospeed);
    input = static_cast<int>(settings.c_ispeed);
    return 0;
}

bool RateTaken(int wanted, int got)
{
    return std::llabs(static_cast<long long>(got) - wanted) * 50 <= wanted;
}
