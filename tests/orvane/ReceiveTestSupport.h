#pragma once

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/Checksum11.h"
#include "orvane/NodeTable.h"
#include "orvane/ReceiveFramer.h"
#include "orvane/TickClock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A version 1.0 packet as it comes off the line: destination, length, payload.
inline Bytes Packet10(int destination, const Bytes& payload)
{
    Bytes packet{static_cast<unsigned char>(destination),
                 static_cast<unsigned char>(payload.size())};
    packet.insert(packet.end(), payload.begin(), payload.end());
    return packet;
}

// A version 1.1 packet: destination, length, complement, payload, checksum.
inline Bytes Packet11(int destination, const Bytes& payload)
{
    const int length = static_cast<int>(payload.size());
    Bytes packet{static_cast<unsigned char>(destination), static_cast<unsigned char>(length),
                 static_cast<unsigned char>(length ^ 0xFF)};
    packet.insert(packet.end(), payload.begin(), payload.end());
    packet.push_back(static_cast<unsigned char>(Checksum11(payload.data(), length)));
    return packet;
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// Every test starts with an empty node table in readable mode and a tick
// count it sets itself.
class ReceiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureNodeTable();
        ClearNodeTable();
        RawMode = 0;
        s_ticks = 0;
        m_previousSource = SetTickSource([] { return s_ticks; });
    }
    void TearDown() override
    {
        SetTickSource(m_previousSource);
        RawMode = 0;
        ClearNodeTable();
    }

    static std::string ValidNodes()
    {
        std::string nodes;
        for (int i = 0; i < kNodeCount; ++i)
            nodes += NodeTable[i].valid ? char('0' + i % 10) : '-';
        return nodes;
    }

    static inline uint32_t s_ticks = 0;

private:
    TickSource m_previousSource = nullptr;
};

// Hands chunks to a receive converter of the given version as the receive
// pump does, each followed by a zero byte, and returns the text of each call.
class ConverterFeed {
public:
    explicit ConverterFeed(FrameVersion version)
        : m_converter(version == FrameVersion::V10
                          ? std::unique_ptr<CXrate>(new CXrateOV(nullptr, 63))
                          : std::unique_ptr<CXrate>(new CXrateOV11(nullptr, 63)))
    {
    }

    std::string Feed(const Bytes& bytes)
    {
        Bytes chunk = bytes;
        chunk.push_back(0x00);
        return m_converter->XrateReceive(chunk.data(), static_cast<int>(bytes.size()));
    }

private:
    std::unique_ptr<CXrate> m_converter;
};
