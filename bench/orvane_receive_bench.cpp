// Receive throughput of the Orvane conversions: framing plus decoding, in
// bytes per second of received bytes, for the traffic of a busy bus handed
// over in 512-byte chunks as the receive pump does.
//
//   bench_orvane_receive [--benchmark_filter=...]

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/Checksum11.h"
#include "orvane/NodeTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class Random {
public:
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t m_state = 2463534242u;
};

void AppendPacket(Bytes& stream, bool version11, int destination, const Bytes& payload)
{
    const int length = static_cast<int>(payload.size());
    stream.push_back(static_cast<unsigned char>(destination));
    stream.push_back(static_cast<unsigned char>(length));
    if (version11)
        stream.push_back(static_cast<unsigned char>(length ^ 0xFF));
    stream.insert(stream.end(), payload.begin(), payload.end());
    if (version11)
        stream.push_back(static_cast<unsigned char>(Checksum11(payload.data(), length)));
}

unsigned char Byte(Random& random)
{
    return static_cast<unsigned char>(random.Next());
}

// About 256 KiB of a bus that mostly answers register polls: replies of both
// widths, the polls themselves, bulk replies of eight words, bursts, memory
// replies, runs of fill, and 5% damaged packets: in version 1.1 a bad
// checksum or a damaged length complement, in version 1.0 (which cannot tell)
// a flipped bit that turns a reply into a special or an unknown packet.
Bytes BusTraffic(bool version11)
{
    Random random;
    Bytes stream;
    while (stream.size() < 256 * 1024) {
        const int node = random.Below(63);
        const int reg = random.Below(16);
        const int pick = random.Below(100);
        const std::size_t start = stream.size();
        if (pick < 40) {
            AppendPacket(stream, version11, 0x7F,
                         {static_cast<unsigned char>(0x60 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random)});
        } else if (pick < 55) {
            AppendPacket(stream, version11, 0x7F,
                         {static_cast<unsigned char>(0x70 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random), Byte(random), Byte(random)});
        } else if (pick < 70) {
            AppendPacket(stream, version11, 0x40 + node,
                         {static_cast<unsigned char>(0x40 + reg), 0x3F});
        } else if (pick < 80) {
            Bytes bulk{0xA2, static_cast<unsigned char>(node), 0x00, 8};
            for (int i = 0; i < 16; ++i)
                bulk.push_back(Byte(random));
            AppendPacket(stream, version11, 0x7F, bulk);
        } else if (pick < 85) {
            Bytes burst;
            for (int i = 0; i < 20; ++i)
                burst.push_back(Byte(random));
            AppendPacket(stream, version11, 0x20, burst);
        } else if (pick < 90) {
            AppendPacket(stream, version11, 0x7F,
                         {0x83, static_cast<unsigned char>(node), Byte(random), Byte(random), 0x00,
                          Byte(random), Byte(random)});
        } else if (pick < 95) {
            stream.insert(stream.end(), static_cast<std::size_t>(1 + random.Below(32)), 0x00);
        } else if (version11 && pick < 98) {
            AppendPacket(stream, version11, 0x7F,
                         {static_cast<unsigned char>(0x60 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random)});
            stream.back() ^= 0x5A;
        } else if (version11) {
            AppendPacket(stream, version11, 0x7F,
                         {static_cast<unsigned char>(0x60 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random)});
            stream[start + 2] = 0x00;
        } else if (pick < 98) {
            // Version 1.0 has no check: a flipped bit in the destination
            // byte makes a special packet, dumped whole.
            AppendPacket(stream, version11, 0xC0 | node,
                         {static_cast<unsigned char>(0x60 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random)});
        } else {
            // ... and one in the command byte an unknown packet, dumped by the decoder.
            AppendPacket(stream, version11, 0x7F,
                         {static_cast<unsigned char>(0x90 + reg), static_cast<unsigned char>(node),
                          Byte(random), Byte(random)});
        }
    }
    return stream;
}

// The stream cut into chunks of 512 bytes, each followed by a zero byte.
std::vector<Bytes> Chunks(const Bytes& stream)
{
    std::vector<Bytes> chunks;
    for (std::size_t at = 0; at < stream.size(); at += kMaxChunk) {
        const std::size_t count = std::min<std::size_t>(kMaxChunk, stream.size() - at);
        Bytes chunk(stream.begin() + long(at), stream.begin() + long(at + count));
        chunk.push_back(0x00);
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

template <typename Converter>
void ReceiveTraffic(benchmark::State& state, bool version11, int rawMode)
{
    const Bytes stream = BusTraffic(version11);
    const std::vector<Bytes> chunks = Chunks(stream);
    Converter converter(nullptr, 63);
    RawMode = rawMode;

    // Untimed pass: how much report text the traffic makes.
    std::size_t textLength = 0;
    for (const Bytes& chunk : chunks)
        textLength += std::strlen(
            converter.XrateReceive(chunk.data(), static_cast<int>(chunk.size() - 1)));

    for (auto _ : state) {
        for (const Bytes& chunk : chunks) {
            const char* text =
                converter.XrateReceive(chunk.data(), static_cast<int>(chunk.size() - 1));
            benchmark::DoNotOptimize(text);
        }
    }
    RawMode = 0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.size()));
    state.counters["text_chars_per_byte"] =
        static_cast<double>(textLength) / static_cast<double>(stream.size());
}

void BM_Receive11(benchmark::State& state)
{
    ReceiveTraffic<CXrateOV11>(state, true, 0);
}
BENCHMARK(BM_Receive11);

void BM_Receive11RawMode(benchmark::State& state)
{
    ReceiveTraffic<CXrateOV11>(state, true, 1);
}
BENCHMARK(BM_Receive11RawMode);

void BM_Receive10(benchmark::State& state)
{
    ReceiveTraffic<CXrateOV>(state, false, 0);
}
BENCHMARK(BM_Receive10);

// The heaviest input there is: 6-byte packets that each render a 255-word bulk line.
void BM_Receive10FullBulkFlood(benchmark::State& state)
{
    Bytes stream;
    while (stream.size() < 64 * 1024)
        AppendPacket(stream, false, 0x7F, {0xA2, 0x3F, 0xFF, 0xFF});
    const std::vector<Bytes> chunks = Chunks(stream);
    CXrateOV converter(nullptr, 63);
    for (auto _ : state)
        for (const Bytes& chunk : chunks)
            benchmark::DoNotOptimize(
                converter.XrateReceive(chunk.data(), static_cast<int>(chunk.size() - 1)));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_Receive10FullBulkFlood);

} // namespace
