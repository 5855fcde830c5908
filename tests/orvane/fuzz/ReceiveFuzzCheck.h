#pragma once

#include "orvane/CXrateOV.h"
#include "orvane/Checksum11.h"
#include "orvane/NodeTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Feeds one fuzz input to a receive converter the way the receive pump does:
// chunks of at most 512 bytes, each followed by a zero byte, and checks every
// returned text.
//
// The first input byte picks the run: bits 0-1 the chunk size (1, 7, 100 or
// 512 bytes), bit 2 raw mode, bit 3 (version 1.1 only) "whole packets": the
// rest is then read as a sequence of packets whose length complements and
// checksums are made valid, so that inputs reach the decoder instead of
// stopping at the framer's checks.

template <typename Converter>
class ReceiveProbe : public Converter {
public:
    using Converter::Converter;
    static constexpr std::size_t kCapacity = Converter::kReceiveTextCapacity;
};

inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Rewrites a byte stream so every version 1.1 packet in it is well formed; fill stays fill.
inline void MakePackets11Valid(std::vector<unsigned char>& stream)
{
    std::size_t at = 0;
    while (at < stream.size()) {
        if (stream[at] == 0x00) {
            ++at;
            continue;
        }
        if (at + 1 >= stream.size())
            return;
        const std::size_t length = stream[at + 1];
        if (at + 2 < stream.size())
            stream[at + 2] = static_cast<unsigned char>(length ^ 0xFF);
        const std::size_t payload = at + 3;
        const std::size_t checksum = payload + length;
        if (checksum >= stream.size())
            return;
        stream[checksum] =
            static_cast<unsigned char>(Checksum11(stream.data() + payload, int(length)));
        at = checksum + 1;
    }
}

template <typename Converter>
void FuzzReceive(const uint8_t* data, std::size_t size, bool version11)
{
    if (size == 0)
        return;
    static const std::size_t chunkSizes[] = {1, 7, 100, 512};
    const uint8_t mode = data[0];
    const std::size_t chunkSize = chunkSizes[mode & 0x03];
    std::vector<unsigned char> stream(data + 1, data + size);
    if (version11 && (mode & 0x08))
        MakePackets11Valid(stream);

    RawMode = (mode & 0x04) ? 1 : 0;
    ReceiveProbe<Converter> converter(nullptr, 63);
    std::vector<unsigned char> chunk;
    for (std::size_t at = 0; at < stream.size(); at += chunkSize) {
        const std::size_t count = std::min(chunkSize, stream.size() - at);
        chunk.assign(stream.begin() + long(at), stream.begin() + long(at + count));
        chunk.push_back(0x00);
        const char* text = converter.XrateReceive(chunk.data(), int(count));
        Check(text != nullptr);
        const std::size_t length = std::strlen(text);
        Check(length <= ReceiveProbe<Converter>::kCapacity);
        // Everything a chunk from the pump renders fits: nothing is cleared away.
        Check(std::strncmp(text, "Report outputbuffer", 19) != 0);
    }
    RawMode = 0;
}
