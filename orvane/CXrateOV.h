#pragma once

#include "orvane/ReceiveFramer.h"
#include "orvane/StatementFramer.h"
#include "orvane/TextBuffer.h"
#include "xrate/CXrate.h"

#include <cstddef>
#include <memory>

// The Orvane bus conversions. Transmit: the command language, one packet per
// ';'-separated statement, framed by version. Receive: a byte-wise framer that
// collects packets across chunks and a decoder that renders each packet as one
// report line and keeps NodeTable current. CXrateOV frames by version 1.0;
// CXrateOV11 adds the length complement and checksum of version 1.1.

inline constexpr int kTransmitDataSize = 32768;

class CXrateOV : public CXrate {
public:
    CXrateOV(void* owner, int ownNodeId);
    ~CXrateOV() override;

    const char* XrateSend(char* text, int& len) override;
    const char* XrateReceive(const unsigned char* bytes, int count) override;

    // One statement to one framed packet in packet (kStatementBufferSize
    // bytes); len stays -1 when the statement yields nothing.
    void BuildPacket(const char* statement, int& len, unsigned char* packet);

    // Appends the rendering of one complete packet to the receive text.
    virtual void DecodePacket(int destination, int payloadLength, const unsigned char* payload);

protected:
    CXrateOV(void* owner, int ownNodeId, FrameVersion version);

    // ---- transmit side ----
    unsigned char TransmitData[kTransmitDataSize];

    // ---- receive side ----
    // The most text that one received byte can add: the checksum dump of the
    // largest version 1.1 packet (826) and the longest line the decoder
    // writes, a bulk line of 255 words (3877).
    static constexpr std::size_t kLongestByteText = 826 + 3877;
    // The shortest packet that renders a 255-word bulk line has 6 bytes, so a
    // chunk completes at most one such packet per 6 bytes, plus one whose
    // earlier bytes came in the chunk before: everything a chunk renders fits.
    static constexpr std::size_t kReceiveTextCapacity =
        (kMaxChunk / 6 + 1) * kLongestByteText;

    // XrateReceive of both versions: frames the chunk and decodes each
    // complete packet through DecodePacket.
    const char* ReceiveChunk(const unsigned char* bytes, int count, FrameVersion version);

    ReceiveFramer Framer;  // PacketBuffer, PacketCount and ReceiveState
    TextBuffer ReceiveText{kReceiveTextCapacity};
    // False while DecodePacket renders a packet that failed its checksum:
    // such a packet is shown but must not change NodeTable.
    bool PacketIntact = true;

    int OwnNodeId;
    FrameVersion Version;
    BoxRefusals Refusals;
};
