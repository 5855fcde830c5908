#include "orvane/StatementFramer.h"

#include "orvane/Checksum11.h"
#include "orvane/CommandEncoder.h"

#include <cstdint>
#include <cstring>

int FrameStatement(const char* statement, FrameVersion version, int ownNodeId,
                   RefusalSink& refusals, unsigned char* packet)
{
    const int offset = PayloadOffset(version);
    int payloadLength = 0;
    const int destination =
        ParseCommand(statement, payloadLength, packet + offset, ownNodeId, refusals);
    if (destination < 0)
        return -1;
    if (destination == 0) {
        std::memset(packet, 0, std::size_t(payloadLength));
        return payloadLength;
    }
    packet[0] = uint8_t(destination);
    packet[1] = uint8_t(payloadLength);
    if (version == FrameVersion::V11) {
        // The complement lets a receiver repair a damaged length byte; the
        // checksum covers the payload only.
        packet[2] = uint8_t(payloadLength ^ 0xFF);
        packet[offset + payloadLength] = uint8_t(Checksum11(packet + offset, payloadLength));
    }
    return payloadLength + FrameOverhead(version);
}
