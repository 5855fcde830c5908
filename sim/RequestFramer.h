#pragma once

#include "sim/VersionMode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Finds the packets in the bytes the bus hears. 0x00 bytes where a packet
// would start are fill. With a fixed version every packet is framed by it and
// a packet that fails its version's tests is dropped, as a node drops a
// damaged packet. In Auto the version is decided per packet: a third byte that
// is the length's complement and a matching checksum make it version 1.1,
// anything else is version 1.0.
//
// State: the bytes of the packet being collected and the time the last byte
// came. A packet left incomplete for longer than the gap is given up (Auto
// still takes it as version 1.0 when the bytes suffice), so a line that was
// sent garbage recovers by itself.

inline constexpr int64_t kRequestGapMs = 200;

struct HeardPacket {
    FrameVersion version;
    int destination;
    std::vector<unsigned char> payload;
};

class RequestFramer {
public:
    explicit RequestFramer(VersionMode mode) : m_mode(mode) {}

    // Adds bytes heard at nowMs; complete packets are appended to out.
    void Hear(const unsigned char* bytes, std::size_t count, int64_t nowMs,
              std::vector<HeardPacket>& out);

    // Gives up an incomplete packet once the gap has passed.
    void Expire(int64_t nowMs, std::vector<HeardPacket>& out);

    // When Expire next has work to do; -1 when nothing is pending.
    int64_t Deadline() const;

    std::size_t Pending() const { return m_bytes.size(); }

private:
    // Takes every packet that the pending bytes decide; with flush, also the
    // ones that only the end of the line decides.
    void Frame(bool flush, std::vector<HeardPacket>& out);
    void Take(FrameVersion version, std::size_t headerSize, std::size_t size,
              std::vector<HeardPacket>& out);
    void Drop(std::size_t count);
    bool ChecksumMatches(std::size_t length) const;

    VersionMode m_mode;
    std::vector<unsigned char> m_bytes;
    int64_t m_lastByteMs = 0;
};

} // namespace sim
