#pragma once

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/Checksum11.h"
#include "orvane/Framing.h"
#include "xrate/TextChars.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

// Helpers for driving the simulated bus as the monitor (node 63) would.

using Bytes = std::vector<unsigned char>;

// The monitor's packets for a command line, built by the project's encoder.
inline Bytes MonitorSends(const std::string& line, FrameVersion version)
{
    CXrateOV v10(nullptr, 63);
    CXrateOV11 v11(nullptr, 63);
    CXrateOV& encoder = version == FrameVersion::V11 ? static_cast<CXrateOV&>(v11) : v10;
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    int length = -1;
    const char* bytes = encoder.XrateSend(text.data(), length);
    if (!bytes || length <= 0)
        return {};
    const auto* first = reinterpret_cast<const unsigned char*>(bytes);
    return Bytes(first, first + length);
}

// The expected packet for a destination byte and payload, framed by hand from
// the wire layout, so the simulator's encoder output is checked independently.
inline Bytes Packet(FrameVersion version, unsigned char destination, const Bytes& payload)
{
    Bytes packet{destination, static_cast<unsigned char>(payload.size())};
    if (version == FrameVersion::V11)
        packet.push_back(static_cast<unsigned char>(payload.size() ^ 0xFF));
    packet.insert(packet.end(), payload.begin(), payload.end());
    if (version == FrameVersion::V11)
        packet.push_back(static_cast<unsigned char>(
            Checksum11(payload.data(), static_cast<int>(payload.size())) & 0xFF));
    return packet;
}

inline Bytes Join(const std::vector<Bytes>& packets)
{
    Bytes all;
    for (const Bytes& p : packets)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline std::string Hex(const Bytes& bytes)
{
    std::string text;
    for (unsigned char b : bytes) {
        if (!text.empty())
            text += ' ';
        text += kHexDigits[b >> 4];
        text += kHexDigits[b & 0x0F];
    }
    return text;
}

// Reads from fd until want bytes have come or timeoutMs has passed.
inline Bytes ReadBytes(int fd, std::size_t want, int timeoutMs = 3000)
{
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            break;
        unsigned char buffer[1024];
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, want - got.size()));
        if (n <= 0)
            break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// True when nothing arrives on fd within quietMs.
inline bool StaysQuiet(int fd, int quietMs)
{
    pollfd ready{fd, POLLIN, 0};
    return poll(&ready, 1, quietMs) == 0;
}
