// Line noise at the full rate of a pseudo-terminal into the real view, in
// every receive conversion, with display on: nothing crashes, the only box is
// the overflow report, shown once even while noise goes on under it, and
// every byte the far side wrote either reached the receive conversion or is
// covered by that report. TAMSEL_NOISE_SECONDS sets the length of each
// full-rate run (two seconds by default; 60 for a soak).

#include "conversions/ConversionRegistry.h"
#include "FaultSupport.h"

#include "orvane/NodeTable.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>

#include <sys/ioctl.h>

using testsupport::PseudoTerminal;

namespace {

using Clock = std::chrono::steady_clock;

int NoiseMs()
{
    const char* seconds = std::getenv("TAMSEL_NOISE_SECONDS");
    const int asked = seconds ? std::atoi(seconds) : 0;
    return asked > 0 ? asked * 1000 : 2000;
}

// Bytes the line still holds for the port to read.
int Unread(const PseudoTerminal& line)
{
    int count = 0;
    return ioctl(line.Slave(), FIONREAD, &count) == 0 ? count : -1;
}

// The far side sends noise for ms milliseconds while the event loop runs:
// paced, a 1 KiB piece every 10 ms (a rate the window keeps up with), or as
// fast as the line takes bytes. Its writes wait when the line is full, so no
// byte is lost before it reaches the port. Returns the bytes written.
std::int64_t SendNoise(PseudoTerminal& line, int ms, bool paced, std::uint32_t& state)
{
    std::atomic<bool> writing{true};
    std::int64_t written = 0;
    std::thread far([&] {
        std::string block(paced ? 1024 : 4096, '\0');
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            for (char& byte : block) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                byte = static_cast<char>(state >> 24);
            }
            line.Write(block);
            written += static_cast<std::int64_t>(block.size());
            if (paced)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        writing = false;
    });
    const bool finished = WaitUntil([&] { return !writing; }, ms + 30000);
    far.join();
    EXPECT_TRUE(finished) << "the far side could not write for the whole run";
    return written;
}

// Runs the event loop until the port has read everything and the view has
// handed nothing more on for a while.
void Drain(const CChildView& view, const PseudoTerminal& line)
{
    std::int64_t handed = -1;
    Clock::time_point steadySince = Clock::now();
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (view.Session().ReceivedBytes() != handed || Unread(line) != 0) {
                handed = view.Session().ReceivedBytes();
                steadySince = Clock::now();
            }
            return Clock::now() - steadySince > std::chrono::milliseconds(300);
        },
        30000));
}

bool OverflowReported(const ModalBoxRecorder& boxes)
{
    for (const MessageBoxCall& call : boxes.calls) {
        if (call.caption == "Tamsel::OnReceive" && call.text == "Receive buffer overflowed")
            return true;
    }
    return false;
}

class LineNoise : public testing::TestWithParam<int> {
protected:
    // Each box stays open for a while, as a user takes a moment to answer it;
    // the noise goes on meanwhile.
    ModalBoxRecorder boxes{500};  // outlives the view, which owns every box
    PseudoTerminal line{B115200};
    CChildView view{QuickLineTimings()};
};

TEST_P(LineNoise, EveryByteIsConvertedOrReportedLost)
{
    RawMode = 0;
    if (NodeTable != nullptr)
        ClearNodeTable();
    ASSERT_TRUE(view.Session().Ports().SetUserPath("COM7", line.Path()));
    ASSERT_EQ(view.Session().ComReopen("\\\\.\\COM7", 115200), 0);
    view.Session().SetReceiveConversion(GetParam());
    view.Session().SetReceiveEnable(true);
    view.resize(640, 480);
    view.show();

    // First at a pace the window keeps up with, where every byte must reach
    // the conversion unless an overflow was reported; then at full rate.
    std::uint32_t state = 2463534242u;
    const std::int64_t paced = SendNoise(line, 1000, true, state);
    Drain(view, line);
    if (!OverflowReported(boxes)) {
        EXPECT_EQ(view.Session().ReceivedBytes(), paced) << "bytes were lost without the overflow report";
    }
    const int noiseMs = NoiseMs();
    const std::int64_t written = paced + SendNoise(line, noiseMs, false, state);
    Drain(view, line);

    const bool overflowReported = OverflowReported(boxes);
    for (const MessageBoxCall& call : boxes.calls) {
        EXPECT_EQ(call.caption + ": " + call.text, "Tamsel::OnReceive: Receive buffer overflowed")
            << "the only box noise may bring";
    }
    EXPECT_LE(boxes.calls.size(), 1u) << "the overflow is reported once in the life of the view";
    EXPECT_LE(boxes.deepest, 1) << "no box opens on top of the open overflow box";
    const std::int64_t received = view.Session().ReceivedBytes();
    EXPECT_GT(received, paced);
    EXPECT_LE(received, written);
    if (!overflowReported) {
        EXPECT_EQ(received, written) << "bytes were lost without the overflow report";
    }
    EXPECT_LE(view.Session().Report().Text().size(), 20000u);
    std::printf("[ noise    ] %s: %lld bytes paced, then %lld at full rate in %d ms; %lld converted, "
                "overflow %s\n",
                ConversionAt(GetParam()).optionName, static_cast<long long>(paced), static_cast<long long>(written - paced),
                noiseMs, static_cast<long long>(received), overflowReported ? "reported" : "none");
}

INSTANTIATE_TEST_SUITE_P(Conversions, LineNoise, testing::Range(0, kConversionCount),
                         [](const testing::TestParamInfo<int>& info) { return ConversionAt(info.param).optionName; });

} // namespace
