#pragma once

// Reads and writes on a non-blocking port descriptor that keep the line's
// time-outs exactly, with poll() and the monotonic clock, whatever the
// device's own settings are.

struct PortReadResult {
    int count;    // bytes read into the buffer
    bool hungUp;  // the device hung up (unplugged, far side gone); nothing more will come
    int error;    // errno of a failed read that is not a hang-up, else 0
};

// Returns when size bytes are in, intervalMs after a byte with no further
// byte, or totalMs after the start, whichever comes first.
PortReadResult ReadWithTimeouts(int fd, unsigned char* buffer, int size, int intervalMs,
                                int totalMs);

struct PortWriteResult {
    long long written;  // bytes the device took
    int error;          // errno of a failed write, else 0
};

// Writes all length bytes unless the device fails or timeoutMs runs out.
PortWriteResult WriteWithin(int fd, const char* bytes, long long length, long long timeoutMs);
