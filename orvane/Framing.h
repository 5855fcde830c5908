#pragma once

// The two Orvane framings and the facts every side of the bus shares: the
// monitor, its decoder and the simulated nodes frame and read packets by these.

enum class FrameVersion { V10, V11 };

// Bytes before the payload: destination and length, in version 1.1 also the
// length's complement.
constexpr int PayloadOffset(FrameVersion version)
{
    return version == FrameVersion::V10 ? 2 : 3;
}
// Bytes of a packet besides its payload (version 1.1 adds the checksum).
constexpr int FrameOverhead(FrameVersion version)
{
    return version == FrameVersion::V10 ? 2 : 4;
}
// The longest packet: a payload of 255 bytes.
constexpr int LargestPacket(FrameVersion version)
{
    return 255 + FrameOverhead(version);
}

// Node IDs run from 0 to 63; the monitor speaks on the bus as the highest.
inline constexpr int kHighestNodeId = 63;
inline constexpr int kMonitorNodeId = kHighestNodeId;
