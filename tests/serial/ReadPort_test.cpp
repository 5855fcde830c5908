#include "serial/CComPort.h"

#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

using Clock = std::chrono::steady_clock;

// Time-outs widened so that what ends a read is told apart on a busy machine.
PortTimings Widened()
{
    PortTimings timings;
    timings.readIntervalMs = 60;
    timings.readTotalMs = 400;
    timings.closeWaitMs = 0;
    return timings;
}

struct OpenPort {
    explicit OpenPort(PortTimings timings = Widened()) : port(nullptr, timings)
    {
        port.SetPortMap(MapCom3To(pty.Path()));
        EXPECT_EQ(port.ComReopen(kCom3, 115200), 0);
    }
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port;
    unsigned char buffer[512] = {};
};

// The far side keeps a line from falling quiet: after the lead bursts (each
// followed by a 10 ms gap) it writes `byte` every periodMs until it goes.
class Trickle {
public:
    Trickle(PseudoTerminal& pty, std::vector<std::string> lead, const char* byte, int periodMs)
        : m_far([this, &pty, lead = std::move(lead), byte, periodMs] {
              for (const std::string& burst : lead) {
                  pty.Write(burst);
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
              while (!m_stop.load()) {
                  pty.Write(byte);
                  std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
              }
          })
    {
    }
    ~Trickle()
    {
        m_stop = true;
        m_far.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_far;
};

} // namespace

TEST(ReadPort, QuietLineEndsTheReadAtTheTotalTimeOutWithNothing)
{
    OpenPort open;
    const auto start = Clock::now();
    const ReadResult got = open.port.ReadPort(open.buffer, 512);
    EXPECT_EQ(got.status, ReadStatus::kNothing);
    EXPECT_EQ(got.count, 0);
    EXPECT_GE(MsSince(start), 400);
}

TEST(ReadPort, ByteFollowedBySilenceEndsTheReadAfterTheInterval)
{
    OpenPort open;
    open.pty.Write("A");
    const auto start = Clock::now();
    const ReadResult got = open.port.ReadPort(open.buffer, 512);
    const long long elapsed = MsSince(start);
    EXPECT_EQ(got.status, ReadStatus::kData);
    ASSERT_EQ(got.count, 1);
    EXPECT_EQ(open.buffer[0], 'A');
    EXPECT_GE(elapsed, 60);
    EXPECT_LT(elapsed, 400);
}

TEST(ReadPort, FullBufferEndsTheReadAtOnce)
{
    OpenPort open;
    std::string bytes(600, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    open.pty.Write(bytes);
    const auto start = Clock::now();
    const ReadResult got = open.port.ReadPort(open.buffer, 512);
    EXPECT_LT(MsSince(start), 60);
    ASSERT_EQ(got.count, 512);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(open.buffer), 512), bytes.substr(0, 512));
    EXPECT_EQ(open.port.ReadPort(open.buffer, 512).count, 88);
}

TEST(ReadPort, LargeReadTakesWhatIsWaitingAtOnce)
{
    OpenPort open;
    std::string bytes(6000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 13);
    open.pty.Write(bytes);
    unsigned char large[8192];
    std::string got;
    const auto start = Clock::now();
    while (got.size() < bytes.size()) {
        const ReadResult read = open.port.ReadPort(large, sizeof large);
        ASSERT_EQ(read.status, ReadStatus::kData);
        got.append(reinterpret_cast<char*>(large), static_cast<std::size_t>(read.count));
    }
    EXPECT_LT(MsSince(start), 60) << "no read waited for its interval";
    EXPECT_TRUE(SameBytes(got, bytes));
}

// A line that never falls quiet for the interval still hands its bytes on
// once a chunk's worth is in and the line pauses, not at the total time-out.
TEST(ReadPort, LargeReadEndsWhenAChunkIsInAndTheLinePauses)
{
    OpenPort open;
    unsigned char large[8192];
    const auto start = Clock::now();
    ReadResult got{};
    long long elapsed = 0;
    {
        Trickle far(open.pty, {std::string(300, 'a'), std::string(300, 'b')}, "c", 5);
        got = open.port.ReadPort(large, sizeof large);
        elapsed = MsSince(start);
    }
    EXPECT_EQ(got.status, ReadStatus::kData);
    EXPECT_GE(got.count, 600);
    EXPECT_LT(elapsed, 200);
}

TEST(ReadPort, SteadyTrickleEndsTheReadAtTheTotalTimeOut)
{
    OpenPort open;
    const auto start = Clock::now();
    ReadResult got{};
    long long elapsed = 0;
    {
        Trickle far(open.pty, {}, "t", 15);
        got = open.port.ReadPort(open.buffer, 512);
        elapsed = MsSince(start);
    }
    EXPECT_EQ(got.status, ReadStatus::kData);
    EXPECT_GE(got.count, 2);
    EXPECT_GE(elapsed, 400);
    EXPECT_LT(elapsed, 2000);
}

TEST(ReadPort, HangUpMarksTheLineLostAndTheDeadHandleIsNotReadAgain)
{
    OpenPort open;
    open.pty.HangUp();
    const auto start = Clock::now();
    EXPECT_EQ(open.port.ReadPort(open.buffer, 512).status, ReadStatus::kHungUp);
    EXPECT_LT(MsSince(start), 400) << "the hang-up is seen at once, not at the time-out";
    EXPECT_EQ(open.port.GetLineState(), LineState::kLost);
    EXPECT_EQ(open.port.ReadPort(open.buffer, 512).status, ReadStatus::kNoPort);

    // The user-interface thread closes the dead handle; the device is gone, so it stays lost.
    EXPECT_EQ(open.port.CheckLine(), LineState::kLost);
    EXPECT_FALSE(open.port.HasHandle());
    EXPECT_TRUE(open.boxes.calls.empty()) << "losing the line shows no box";

    // A request for the same port and rate changes nothing; another closes the lost line.
    EXPECT_EQ(open.port.ComReopen(kCom3, 115200), 0);
    EXPECT_EQ(open.port.GetLineState(), LineState::kLost);
    EXPECT_EQ(open.port.ComSend("x", 1), -1);
    EXPECT_EQ(open.port.ComReopen(kCom3, 9600), -1);
    EXPECT_EQ(open.port.GetLineState(), LineState::kNoPort);
}

TEST(ReadPort, CheckLineLeavesAHealthyLineAlone)
{
    OpenPort open;
    EXPECT_EQ(open.port.CheckLine(), LineState::kOpen);
    EXPECT_TRUE(open.port.HasHandle());
    open.pty.Write("z");
    EXPECT_EQ(open.port.ReadPort(open.buffer, 512).count, 1);
}
