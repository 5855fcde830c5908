#include "serial/PortIo.h"

#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <fcntl.h>

using testsupport::PseudoTerminal;

namespace {

struct PauseCase {
    const char* what;
    int got;
    long long sinceLastReadUs;
    int gatherMs;
    long long wantUs;
};

} // namespace

TEST(GatherPause, FollowsTheLineRateWithinItsBounds)
{
    const PauseCase cases[] = {
        {"first read of a call: none, the rate is unknown", 12, 0, 10, 0},
        {"115200 baud in 1 ms deliveries: the longest pause", 12, 1000, 10, 10000},
        {"0.5 MiB/s: 1 KiB takes 2 ms", 512, 1000, 10, 2000},
        {"4 MiB/s: a quarter millisecond", 4096, 1000, 10, 250},
        {"1 KiB in 8 ms: 8 ms", 1024, 8000, 10, 8000},
        {"gathering off for a slow line", 12, 1000, 0, 0},
        {"nothing read: no pause", 0, 1000, 10, 0},
    };
    for (const PauseCase& c : cases)
        EXPECT_EQ(GatherPauseUs(c.got, c.sinceLastReadUs, c.gatherMs), c.wantUs) << c.what;
}

// The pauses must neither lose nor reorder bytes, nor hold a read open past
// its interval after the last byte.
TEST(GatherPause, TrickleThenBurstArrivesWholeAndTheReadEndsOneIntervalAfter)
{
    PseudoTerminal pty(B115200);
    const int fd = fcntl(pty.Slave(), F_DUPFD_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK), 0);

    std::string sent;
    for (int i = 0; i < 40; ++i)
        sent += static_cast<char>('a' + i % 26);
    std::string burst(6000, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<char>(i * 7);
    std::thread far([&] {
        for (char c : sent) {
            pty.Write(std::string(1, c));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        pty.Write(burst);
    });

    constexpr int kIntervalMs = 60;
    std::string got;
    long long lastReadMs = 0;
    unsigned char buffer[8192];
    while (got.size() < sent.size() + burst.size()) {
        const auto start = std::chrono::steady_clock::now();
        const PortReadResult read = ReadWithTimeouts(fd, buffer, 8192, 8192, kIntervalMs, 2000, 10);
        ASSERT_GT(read.count, 0) << "after " << got.size() << " bytes";
        got.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(read.count));
        lastReadMs = MsSince(start);
    }
    far.join();
    close(fd);
    EXPECT_TRUE(SameBytes(got, sent + burst));
    // The last read ends one quiet interval after its last byte, pauses or
    // not, well before the total time-out.
    EXPECT_GE(lastReadMs, kIntervalMs);
    EXPECT_LT(lastReadMs, 1000);
}
