#pragma once

#include "serial/PortIo.h"

#include <string>

#include <cerrno>

// One open line, whatever carries it: a terminal device of this machine or a
// port served over the network. The port (CComPort) holds at most one and
// drives it from up to three threads: Read on the reader thread only,
// GetModemLines and WaitModemChange also on the modem watch's thread
// (ModemWatch.h), everything else on the user-interface thread. An
// implementation makes that safe for itself; the port guarantees that the line
// is not destroyed while a Read or the watch runs.
//
// Results follow the system calls': 0, or -1 with errno set, where an int is
// returned.

// How far Configure got.
enum class LineSetup { kDone, kCannotRead, kRejected };

// The read time-outs of the line, in milliseconds (see ReadWithTimeouts).
struct ReadTimeouts {
    int enough;      // bytes after which a read takes only what is already there
    int intervalMs;  // a read ends this long after a byte with no further byte
    int totalMs;     // a read ends at the latest this long after it started
    int gatherMs;    // a slow line collects at most this long between looks
};

class SerialLine {
public:
    virtual ~SerialLine() = default;  // closes the line

    // Sets the rate with 8 data bits, no parity and one stop bit, every other
    // setting as the line has it. On failure detail says where and why, and
    // the line keeps the settings it had.
    virtual LineSetup Configure(int baud, std::string& detail) = 0;

    // Up to size bytes within the time-outs; hungUp once the far side is gone.
    virtual PortReadResult Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts) = 0;

    // All length bytes unless the line fails or timeoutMs runs out.
    virtual PortWriteResult Write(const char* bytes, long long length, long long timeoutMs) = 0;

    // The TIOCM_* bits: DTR and RTS as driven, CTS, DSR, CAR and RNG as seen.
    virtual int GetModemLines(int& bits) = 0;
    // Returns once CTS, DSR, CAR or RNG may have changed, or -1 with errno:
    // EINTR when a signal reached the waiting thread, ENOTTY (or the
    // driver's own error) when the line cannot wait for a change, and its
    // inputs must be looked at now and then instead.
    virtual int WaitModemChange()
    {
        errno = ENOTTY;
        return -1;
    }
    // Raises (on) or drops the given TIOCM_DTR / TIOCM_RTS bits, the others as they are.
    virtual int SetModemLines(int bits, bool on) = 0;
    virtual int SetBreak(bool on) = 0;

    // Where the line leads (a device path, host:port), for message details.
    virtual const std::string& Where() const = 0;

    // After Read saw it hang up: why, for a line whose loss the user should
    // hear about with the reason (a connection); empty for one whose loss
    // speaks for itself (an adapter pulled from its socket).
    virtual std::string LossDetail() const { return {}; }

    // Something the user should hear about once, seen while reading: a
    // server that leaves a request unanswered. HasNote on the reader thread,
    // TakeNote (which empties it) on the user-interface thread.
    virtual bool HasNote() const { return false; }
    virtual std::string TakeNote() { return {}; }
};
