#include "serial/LineDriver.h"

#include "serial/LineRate.h"

#include <sys/ioctl.h>

int LineDriver::SetArbitraryRate(int fd, int rate)
{
    return ::SetArbitraryRate(fd, rate);
}

int LineDriver::GetModemLines(int fd, int& bits)
{
    return ioctl(fd, TIOCMGET, &bits);
}

int LineDriver::WaitModemChange(int fd)
{
    return ioctl(fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG);
}

int LineDriver::SetModemLines(int fd, int bits, bool on)
{
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

int LineDriver::SetBreak(int fd, bool on)
{
    return ioctl(fd, on ? TIOCSBRK : TIOCCBRK);
}

LineDriver& SystemLineDriver()
{
    static LineDriver driver;
    return driver;
}
