#include "sim/RequestFramer.h"

#include "orvane/Checksum11.h"

namespace sim {

namespace {

constexpr auto kHeader10 = std::size_t(PayloadOffset(FrameVersion::V10));
constexpr auto kHeader11 = std::size_t(PayloadOffset(FrameVersion::V11));

} // namespace

void RequestFramer::Hear(const unsigned char* bytes, std::size_t count, int64_t nowMs,
                         std::vector<HeardPacket>& out)
{
    if (count == 0)
        return;
    m_bytes.insert(m_bytes.end(), bytes, bytes + count);
    m_lastByteMs = nowMs;
    Frame(false, out);
}

void RequestFramer::Expire(int64_t nowMs, std::vector<HeardPacket>& out)
{
    if (!m_bytes.empty() && nowMs - m_lastByteMs >= kRequestGapMs) {
        Frame(true, out);
        m_bytes.clear();
    }
}

int64_t RequestFramer::Deadline() const
{
    return m_bytes.empty() ? -1 : m_lastByteMs + kRequestGapMs;
}

void RequestFramer::Drop(std::size_t count)
{
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

void RequestFramer::Take(FrameVersion version, std::size_t headerSize, std::size_t size,
                         std::vector<HeardPacket>& out)
{
    const auto first = m_bytes.begin();
    out.push_back({version, m_bytes[0],
                   std::vector<unsigned char>(first + static_cast<std::ptrdiff_t>(headerSize),
                                              first + static_cast<std::ptrdiff_t>(headerSize + m_bytes[1]))});
    Drop(size);
}

bool RequestFramer::ChecksumMatches(std::size_t length) const
{
    const int sum = Checksum11(m_bytes.data() + kHeader11, static_cast<int>(length));
    return (sum & 0xFF) == m_bytes[kHeader11 + length];
}

void RequestFramer::Frame(bool flush, std::vector<HeardPacket>& out)
{
    for (;;) {
        std::size_t fill = 0;
        while (fill < m_bytes.size() && m_bytes[fill] == 0x00)
            ++fill;
        Drop(fill);
        if (m_bytes.size() < 2)
            return;
        const std::size_t length = m_bytes[1];
        const std::size_t size10 = length + std::size_t(FrameOverhead(FrameVersion::V10));
        const std::size_t size11 = length + std::size_t(FrameOverhead(FrameVersion::V11));

        if (m_mode == VersionMode::V10) {
            if (m_bytes.size() < size10)
                return;
            Take(FrameVersion::V10, kHeader10, size10, out);
            continue;
        }
        if (m_bytes.size() < 3) {
            if (flush && m_mode == VersionMode::Auto && m_bytes.size() >= size10)
                Take(FrameVersion::V10, kHeader10, size10, out);
            return;
        }
        const bool complement = m_bytes[2] == (length ^ 0xFF);
        if (m_mode == VersionMode::V11) {
            if (!complement) {
                Drop(1); // resynchronise on the next byte
                continue;
            }
            if (m_bytes.size() < size11)
                return;
            if (ChecksumMatches(length))
                Take(FrameVersion::V11, kHeader11, size11, out);
            else
                Drop(size11);
            continue;
        }
        // Auto: a packet is 1.1 only when both its tests pass.
        if (complement && m_bytes.size() < size11 && !flush)
            return;
        if (complement && m_bytes.size() >= size11 && ChecksumMatches(length)) {
            Take(FrameVersion::V11, kHeader11, size11, out);
            continue;
        }
        if (m_bytes.size() < size10)
            return;
        Take(FrameVersion::V10, kHeader10, size10, out);
    }
}

} // namespace sim
