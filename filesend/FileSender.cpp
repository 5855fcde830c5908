#include "filesend/FileSender.h"

#include <algorithm>
#include <utility>

FileSender::FileSender(Mode mode, SendPacing pacing, Line line, Convert convert)
    : m_mode(mode), m_pacing(pacing), m_line(std::move(line)), m_convert(std::move(convert))
{
}

int FileSender::Open(const std::string& path, std::string& error)
{
    return m_source.Open(path, error);
}

long long FileSender::Done() const
{
    // A chunk of raw bytes counts as it goes out; a converted line once it is all out.
    const std::size_t unitDone = m_mode == Mode::kBytes ? m_sent : 0;
    return m_source.Consumed() - static_cast<long long>(m_unitFileBytes - std::min(unitDone, m_unitFileBytes));
}

bool FileSender::NextUnit(Status& status)
{
    const long long before = m_source.Consumed();
    m_unit.clear();
    m_sent = 0;
    if (m_mode == Mode::kBytes) {
        // A line delay needs the line ends, so a chunk then stops at each.
        if (m_source.NextBytes(kChunk, m_pacing.lineDelayMs > 0, m_unit, m_readError) != 0) {
            status = Status::kReadFailed;
            return false;
        }
        if (m_unit.empty()) {
            status = Status::kDone;
            return false;
        }
        m_unitIsLine = m_unit.back() == '\n';
    } else {
        std::string line;
        const int got = m_source.NextLine(line, m_readError);
        if (got < 0) {
            status = Status::kReadFailed;
            return false;
        }
        if (got == 0) {
            status = Status::kDone;
            return false;
        }
        m_unit = m_convert(line);
        m_unitIsLine = true;
    }
    m_unitFileBytes = static_cast<std::size_t>(m_source.Consumed() - before);
    return true;
}

FileSender::Status FileSender::Step(long long nowMs, int& delayMs)
{
    delayMs = 0;
    Status status = Status::kRunning;
    if (m_deadline < 0 && m_sent == m_unit.size()) {
        if (!NextUnit(status))
            return status;
        if (m_unit.empty()) {
            // A line that gives nothing to write (a local command, a rejected one).
            m_unitFileBytes = 0;
            return Status::kRunning;
        }
    }
    if (m_deadline < 0) {
        m_pieceEnd = m_pacing.charDelayMs > 0 ? m_sent + 1 : m_unit.size();
        m_timeoutMs = m_line.timeoutMs(static_cast<int>(m_pieceEnd - m_sent));
        m_deadline = nowMs + m_timeoutMs;
    }
    const long long left = m_deadline - nowMs;
    const int waitMs = static_cast<int>(std::clamp<long long>(left, 0, kStepWaitMs));
    const PortWriteResult result =
        m_line.write(m_unit.data() + m_sent, static_cast<int>(m_pieceEnd - m_sent), waitMs);
    m_sent += static_cast<std::size_t>(result.written);
    m_written += result.written;
    if (result.error != 0) {
        m_writeError = result.error;
        return Status::kWriteFailed;
    }
    if (m_sent < m_pieceEnd)
        return left <= waitMs ? Status::kTimedOut : Status::kRunning;
    m_deadline = -1;
    if (m_pacing.charDelayMs > 0)
        delayMs += m_pacing.charDelayMs;
    if (m_sent == m_unit.size()) {
        m_unitFileBytes = 0;
        if (m_unitIsLine)
            delayMs += m_pacing.lineDelayMs;
    }
    return Status::kRunning;
}
