#pragma once

// The calls the port makes on an open terminal beyond reading, writing and
// its termios settings: a rate past the speed constants, the modem lines and
// the break condition. Each returns 0, or -1 with errno set, as the system
// call does. The port uses the system's own; a test hands it a driver that
// stands for a device a pseudo-terminal cannot be (one that refuses a rate,
// an adapter with modem lines).
class LineDriver {
public:
    virtual ~LineDriver() = default;

    virtual int SetArbitraryRate(int fd, int rate);
    // The TIOCM_* bits of the lines: DTR and RTS as driven, CTS, DSR, CAR and RNG as seen.
    virtual int GetModemLines(int fd, int& bits);
    // Blocks until CTS, DSR, CAR or RNG changes (TIOCMIWAIT); only a signal
    // ends the wait early (EINTR). Drivers without it fail at once.
    virtual int WaitModemChange(int fd);
    // Raises (on) or drops the given TIOCM_DTR / TIOCM_RTS bits, the others as they are.
    virtual int SetModemLines(int fd, int bits, bool on);
    virtual int SetBreak(int fd, bool on);
};

// The driver of the operating system's terminal calls.
LineDriver& SystemLineDriver();
