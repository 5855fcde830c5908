#pragma once

#include "xrate/CXrate.h"

#include <cstddef>
#include <memory>

// The Orvane bus conversions. Transmit: the command language, one packet per
// ';'-separated statement, framed by version. Receive: a byte-wise framer that
// collects packets across chunks and a decoder that renders each packet as one
// report line and keeps NodeTable current. CXrateOV frames by version 1.0;
// CXrateOV11 adds the length complement and checksum of version 1.1.

inline constexpr int kTransmitDataSize = 32768;
inline constexpr int kStatementBufferSize = 260;
inline constexpr int kPacketBufferSize = 1024;

class CXrateOV : public CXrate {
public:
    CXrateOV(void* owner, int ownNodeId);
    ~CXrateOV() override;

    const char* XrateSend(char* text, int& len) override;
    const char* XrateReceive(const unsigned char* bytes, int count) override;

    // One statement to one framed packet in statement (kStatementBufferSize
    // bytes); len stays -1 when the statement yields nothing.
    virtual void BuildPacket(const char* statement, int& len, unsigned char* packet);

    // Appends the rendering of one complete packet to the receive text.
    virtual void DecodePacket(int destination, int payloadLength, const unsigned char* payload);

protected:
    // ---- transmit side ----
    unsigned char TransmitData[kTransmitDataSize];

    // ---- receive side ----
    unsigned char PacketBuffer[kPacketBufferSize];
    std::unique_ptr<char[]> ReceiveText;
    std::size_t ReceiveLength = 0;
    int PacketCount = 0;
    int ReceiveState = 0;

    int OwnNodeId;
};
