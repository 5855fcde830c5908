#pragma once

#include "orvane/Framing.h"
#include "orvane/TextBuffer.h"

// Collects received bytes into Orvane packets, one byte at a time, across any
// number of chunks.
//
// State: PacketBuffer holds the packet being collected from its first byte on,
// PacketCount how many bytes of it have arrived (0: the next byte starts a
// packet), ReceiveState what the packet is collected for. A completed packet
// returns PacketCount to 0 but stays in PacketBuffer until the next byte, so
// the caller can decode it. Nothing else is kept.
//
// Zero bytes where a packet would start are fill and show as dots. The first
// byte decides whether a packet is decoded (burst 0x20, unicast, broadcast) or
// only dumped (every other kind). Version 1.1 also checks the length
// complement, repairing a damaged length where one side is plausible, and the
// checksum; a packet that fails it is dumped and still handed on for decoding,
// marked as failed.

inline constexpr int kPacketBufferSize = 1024;

enum class FramerState { Start = 0, Fill = 1, Special = 2, Decode = 3 };

class ReceiveFramer {
public:
    // Takes one byte; framing text (dots, dumps, length repairs) goes to text.
    // Returns true when the byte completed a packet to be decoded, which
    // Destination(), PayloadLength(), Payload() and ChecksumPassed() then
    // describe until the next byte.
    bool Push(unsigned char byte, FrameVersion version, TextBuffer& text);

    // Forgets the bytes of the packet in progress; the next byte starts a packet.
    void DropPacket() { PacketCount = 0; }

    int Count() const { return PacketCount; }
    FramerState State() const { return ReceiveState; }

    int Destination() const { return PacketBuffer[0]; }
    int PayloadLength() const { return PacketBuffer[1]; }
    const unsigned char* Payload() const { return PacketBuffer + m_payloadOffset; }
    bool ChecksumPassed() const { return m_checksumPassed; }

private:
    void RecoverLength(TextBuffer& text);
    bool Complete(FrameVersion version) const;
    bool ChecksumMatches() const;

    // Starts zeroed: nothing that an earlier run left in memory can reach a rendering.
    unsigned char PacketBuffer[kPacketBufferSize] = {};
    int PacketCount = 0;
    FramerState ReceiveState = FramerState::Start;
    int m_payloadOffset = 2;
    bool m_checksumPassed = true;
};
