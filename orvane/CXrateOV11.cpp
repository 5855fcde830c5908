#include "orvane/CXrateOV11.h"

#include "orvane/Checksum11.h"
#include "orvane/CommandEncoder.h"

#include <cstdint>
#include <cstring>

CXrateOV11::CXrateOV11(void* owner, int ownNodeId) : CXrateOV(owner, ownNodeId) {}

// The complement lets a receiver repair a damaged length byte; the checksum
// covers the payload only. Zero fill stays bare, as in version 1.0.
void CXrateOV11::BuildPacket(const char* statement, int& len, unsigned char* packet)
{
    int payloadLength = 0;
    const int destination = ParseCommand(statement, payloadLength, packet + 3, OwnNodeId, Owner());
    if (destination < 0)
        return;
    if (destination == 0) {
        std::memset(packet, 0, std::size_t(payloadLength));
        len = payloadLength;
        return;
    }
    packet[0] = uint8_t(destination);
    packet[1] = uint8_t(payloadLength);
    packet[2] = uint8_t(payloadLength ^ 0xFF);
    packet[3 + payloadLength] = uint8_t(Checksum11(packet + 3, payloadLength));
    len = payloadLength + 4;
}

CXrateOV11::~CXrateOV11() = default;
