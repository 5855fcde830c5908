// Throughput of the conversions that run once per received chunk, and of Bin
// transmit on its largest command, in bytes per second of line data.

#include "xrate/CXrateBin.h"
#include "xrate/CXrateHex.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A full chunk followed by the zero byte the receive pump adds.
std::vector<unsigned char> Chunk(const std::string& pattern)
{
    std::vector<unsigned char> chunk;
    while (chunk.size() < kMaxChunk)
        chunk.push_back(static_cast<unsigned char>(pattern[chunk.size() % pattern.size()]));
    chunk.push_back(0);
    return chunk;
}

// Hex text as a device sends it: digit pairs and line ends, so most of the
// chunk decodes pair by pair and a digit sometimes waits for the next chunk.
void HexReceive(benchmark::State& state)
{
    CXrateHex converter(nullptr);
    const std::vector<unsigned char> chunk = Chunk("48656C6C6F2C20776F726C6421\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.XrateReceive(chunk.data(), kMaxChunk));
    state.SetBytesProcessed(state.iterations() * kMaxChunk);
}
BENCHMARK(HexReceive);

void BinReceive(benchmark::State& state)
{
    CXrateBin converter(nullptr);
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i * 167 + 13));
    const std::vector<unsigned char> chunk = Chunk(bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.XrateReceive(chunk.data(), kMaxChunk));
    state.SetBytesProcessed(state.iterations() * kMaxChunk);
}
BENCHMARK(BinReceive);

// The largest command Bin transmit reads: 1024 digits, 512 bytes to send.
void BinSend(benchmark::State& state)
{
    CXrateBin converter(nullptr);
    std::string command;
    while (command.size() < kBinSendCut)
        command += "0d0A7fFe";
    for (auto _ : state) {
        int len = kSendText;
        benchmark::DoNotOptimize(converter.XrateSend(command.data(), len));
        benchmark::DoNotOptimize(len);
    }
    state.SetBytesProcessed(state.iterations() * kBinSendCut / 2);
    state.SetLabel("bytes sent, from 1024 hex digits a call");
}
BENCHMARK(BinSend);

} // namespace
