#pragma once

#include "filesend/FileSource.h"
#include "filesend/SendPacing.h"
#include "serial/PortIo.h"

#include <functional>
#include <string>

// One file going out over the line, a piece at a time, so that the caller's
// event loop runs between pieces: it calls Step, waits the delay Step asks
// for, and calls again while Step says kRunning.
//
// Two ways to send: kBytes writes the file's bytes as they are; kLines hands
// each line (without its line end) to Convert, as a typed command line, and
// writes what comes back.
//
// State: the source, the bytes of the current unit (a chunk or a converted
// line) still to write, the piece of them in hand (one byte when pacing by
// character, else all that is left) and that piece's deadline. A piece that
// the line does not take whole by its deadline, the port's write time-out
// for its length from when it was first offered, ends the send as kTimedOut.
// No step waits on the line longer than kStepWaitMs, whatever the deadline.
class FileSender {
public:
    enum class Mode { kBytes, kLines };
    enum class Status { kRunning, kDone, kTimedOut, kWriteFailed, kReadFailed };

    // What the sender needs of the line.
    struct Line {
        // Writes what the line takes of length bytes within waitMs.
        std::function<PortWriteResult(const char* bytes, int length, int waitMs)> write;
        // The port's time-out for a write of length bytes.
        std::function<long long(int length)> timeoutMs;
    };
    // The bytes that a typed command line gives (empty: nothing to write).
    using Convert = std::function<std::string(const std::string& line)>;

    static constexpr int kStepWaitMs = 20;
    // Bytes written in one piece when nothing paces them.
    static constexpr std::size_t kChunk = 4096;

    FileSender(Mode mode, SendPacing pacing, Line line, Convert convert);

    // 0, or -1 with error naming the file and the reason.
    int Open(const std::string& path, std::string& error);

    // Does the next piece of work at nowMs (a monotonic clock in
    // milliseconds). While kRunning, delayMs says when to call again.
    Status Step(long long nowMs, int& delayMs);

    long long Written() const { return m_written; }
    // How far through the file the send is, in file bytes, and the file's size.
    long long Done() const;
    long long Size() const { return m_source.Size(); }
    const std::string& Path() const { return m_source.Path(); }
    // Why the send ended: the read failure's message, or the write's errno.
    const std::string& ReadError() const { return m_readError; }
    int WriteError() const { return m_writeError; }
    // The time-out that ran out, for the message.
    long long TimeoutMs() const { return m_timeoutMs; }

private:
    bool NextUnit(Status& status);

    Mode m_mode;
    SendPacing m_pacing;
    Line m_line;
    Convert m_convert;
    FileSource m_source;

    std::string m_unit;               // bytes of the current unit
    std::size_t m_sent = 0;           // of them written
    std::size_t m_unitFileBytes = 0;  // file bytes the unit stands for, until it is written
    bool m_unitIsLine = false;
    std::size_t m_pieceEnd = 0;       // the piece in hand ends here in m_unit
    long long m_deadline = -1;        // -1: no piece in hand
    long long m_timeoutMs = 0;
    long long m_written = 0;
    std::string m_readError;
    int m_writeError = 0;
};
