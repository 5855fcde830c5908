#pragma once

// Reads and writes on a non-blocking port descriptor that keep the line's
// time-outs exactly, with poll() and the monotonic clock, whatever the
// device's own settings are.

struct PortReadResult {
    int count;    // bytes read into the buffer
    bool hungUp;  // the device hung up (unplugged, far side gone); nothing more will come
    int error;    // errno of a failed read that is not a hang-up, else 0
};

// Returns when size bytes are in, when at least enough bytes are in and the
// line has no more at once, intervalMs after a byte with no further byte, or
// totalMs after the start, whichever comes first.
// Between two reads that leave it short of enough it pauses for GatherPause
// (never past those ends), so that a slow line costs the reader a wake-up
// every few milliseconds instead of one per arrival (a USB adapter delivers
// every millisecond). The pause changes no time-out: a lone byte still ends
// its read intervalMs after it.
PortReadResult ReadWithTimeouts(int fd, unsigned char* buffer, int size, int enough,
                                int intervalMs, int totalMs, int gatherMs);

// How long to let the line collect after a read of `got` bytes that came in
// over `sinceLastRead` microseconds: the time the line needs at that rate for
// about 1 KiB, well inside what the device can hold, and at most gatherMs.
// None after the first read of a call (sinceLastRead 0), whose rate is unknown.
long long GatherPauseUs(int got, long long sinceLastReadUs, int gatherMs);

struct PortWriteResult {
    long long written;  // bytes the device took
    int error;          // errno of a failed write, else 0
};

// Writes all length bytes unless the device fails or timeoutMs runs out.
PortWriteResult WriteWithin(int fd, const char* bytes, long long length, long long timeoutMs);
