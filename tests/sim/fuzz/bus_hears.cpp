// A simulated bus hearing any bytes: it never crashes, every answer it builds
// is a statement the encoder accepts (a refusal would show a message box), and
// with a fixed version everything it writes frames by that version.
//
// Input: one byte choosing the version mode (0 auto, 1 1.0, 2 1.1) and the
// faults (bit 2 fill, bit 3 split), then the bytes heard, in chunks cut at
// every 0xFE byte.

#include "orvane/Checksum11.h"
#include "sim/SimBus.h"
#include "xrate/MessageBox.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace sim;

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "bus_hears: %s\n", what);
    std::abort();
}

// The pieces written, joined, must be fill bytes and whole packets of the version.
void CheckFraming(const std::vector<LinePiece>& pieces, bool v11)
{
    std::vector<unsigned char> line;
    for (const LinePiece& piece : pieces)
        line.insert(line.end(), piece.bytes.begin(), piece.bytes.end());
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] == 0x00) {
            ++at;
            continue;
        }
        if (at + 1 >= line.size())
            Fail("packet cut after its destination byte");
        const std::size_t length = line[at + 1];
        const std::size_t size = length + (v11 ? 4 : 2);
        if (at + size > line.size())
            Fail("packet longer than what was written");
        if (v11 && (line[at + 2] != (length ^ 0xFF) ||
                    line[at + 3 + length] != (Checksum11(&line[at + 3], int(length)) & 0xFF)))
            Fail("version 1.1 packet with a wrong complement or checksum");
        at += size;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool installed = [] {
        SetMessageBoxHandler([](const MessageBoxCall& call) -> int {
            std::fprintf(stderr, "%s: %s\n", call.caption.c_str(), call.text.c_str());
            Fail("the encoder refused an answer");
        });
        return true;
    }();
    (void)installed;
    if (size == 0)
        return 0;
    const int modeBits = data[0] & 0x03;
    const VersionMode mode = modeBits == 1 ? VersionMode::V10
                             : modeBits == 2 ? VersionMode::V11
                                             : VersionMode::Auto;
    std::vector<FaultSpec> faults;
    if (data[0] & 0x04)
        faults.push_back({FaultKind::Fill, 1});
    if (data[0] & 0x08)
        faults.push_back({FaultKind::Split, 1});
    SimBus bus({1, 5, 12}, mode, faults, 0);

    std::vector<LinePiece> out;
    int64_t now = 0;
    std::size_t start = 1;
    for (std::size_t i = 1; i <= size; ++i) {
        if (i < size && data[i] != 0xFE)
            continue;
        bus.Hear(data + start, i - start, now, out);
        start = i + 1;
        now += 1;
    }
    bus.Expire(now + kRequestGapMs, out);
    for (int i = 0; i < 3; ++i)
        bus.Traffic(out);
    // In auto each answer has its request's version, so only a fixed version
    // tells how the whole line must frame.
    if (mode != VersionMode::Auto)
        CheckFraming(out, mode == VersionMode::V11);
    return 0;
}
