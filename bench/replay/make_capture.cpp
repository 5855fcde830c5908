// Writes a capture for the replay benchmark: MiB mebibytes of numbered Orvane
// 1.1 reply packets received in 4 KiB chunks, 1 ms apart, as the line would
// have brought them.
#include "bench/rig/Traffic.h"
#include "capture/Pcapng.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_capture FILE MIB\n");
        return 2;
    }
    const long long total = std::atoll(argv[2]) * 1024 * 1024;
    std::ofstream out(argv[1], std::ios::binary);
    out << SectionHeaderBlock() << InterfaceBlock("\\\\.\\COM1", "bench, 115200 bps", 115200);
    const Traffic traffic(TrafficKind::kOv11);
    constexpr std::size_t kChunk = 4096;
    std::vector<unsigned char> pending;
    std::vector<unsigned char> record(static_cast<std::size_t>(traffic.RecordSize()));
    std::uint64_t micros = 1'700'000'000'000'000ULL;
    long long written = 0;
    for (long long n = 0; written < total; ++n) {
        traffic.Record(n, record.data());
        pending.insert(pending.end(), record.begin(), record.end());
        if (pending.size() >= kChunk) {
            out << PacketBlock(CaptureDirection::Inbound, pending.data(), pending.size(), micros);
            written += static_cast<long long>(pending.size());
            micros += 1000;
            pending.clear();
        }
    }
    return out ? 0 : 1;
}
