#pragma once

#include "orvane/CXrateOV.h"
#include "orvane/Checksum11.h"
#include "xrate/MessageBox.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Sends one fuzz input through a protocol converter as a command line and
// checks that what comes back is a well-formed result: report text that ends
// inside the transmit buffer, or a run of zero fill and packets whose framing
// agrees with itself byte for byte.

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Boxes would print for every refused statement; count them instead.
inline void SilenceMessageBoxes()
{
    static const bool installed = [] {
        SetMessageBoxHandler([](const MessageBoxCall& call) {
            Require(!call.text.empty() && !call.caption.empty());
            return kIdOk;
        });
        return true;
    }();
    (void)installed;
}

inline void CheckPackets(const unsigned char* bytes, int len, bool version11, int ownNodeId)
{
    const int header = version11 ? 3 : 2;
    const int trailer = version11 ? 1 : 0;
    int p = 0;
    while (p < len) {
        const int destination = bytes[p];
        if (destination == 0) {
            ++p;
            continue;
        }
        Require(destination == 0x20 || (destination >= 0x40 && destination <= 0xBF));
        Require(p + header <= len);
        const int payloadLength = bytes[p + 1];
        if (version11)
            Require(bytes[p + 2] == (payloadLength ^ 0xFF));
        Require(p + header + payloadLength + trailer <= len);
        const unsigned char* payload = bytes + p + header;
        if (destination == 0x20) {
            Require(payloadLength == 20);
        } else {
            Require(payloadLength >= 2);
            if (destination >= 0x80)
                Require(destination == 0x80 + ownNodeId);
            // Every payload but setidreply's names the sender second.
            if (payload[0] != 0x05)
                Require(payload[1] == ownNodeId);
        }
        if (version11)
            Require(payload[payloadLength] == (Checksum11(payload, payloadLength) & 0xFF));
        p += header + payloadLength + trailer;
    }
    Require(p == len);
}

inline void FuzzSend(CXrateOV& converter, bool version11, int ownNodeId, const uint8_t* data,
                     size_t size)
{
    SilenceMessageBoxes();
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    int len = -1;
    const char* result = converter.XrateSend(text.data(), len);
    if (len == -2) {
        Require(result != nullptr);
        Require(std::memchr(result, '\0', kTransmitDataSize) != nullptr);
        return;
    }
    Require(len >= 0 && len <= kTransmitDataSize);
    if (len > 0)
        CheckPackets(reinterpret_cast<const unsigned char*>(result), len, version11, ownNodeId);
}
