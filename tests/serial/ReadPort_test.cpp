#include "serial/CComPort.h"

#include "PtyPair.h"
#include "SerialTestSupport.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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
        port.SetPortMap(MapCom3To(pty.SlavePath()));
        EXPECT_EQ(port.ComReopen(kCom3, 115200), 0);
    }
    MessageBoxRecorder boxes;
    PtyPair pty;
    CComPort port;
    unsigned char buffer[512] = {};
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

TEST(ReadPort, SteadyTrickleEndsTheReadAtTheTotalTimeOut)
{
    OpenPort open;
    std::atomic<bool> stop{false};
    std::thread far([&] {
        while (!stop.load()) {
            open.pty.Write("t");
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    const auto start = Clock::now();
    const ReadResult got = open.port.ReadPort(open.buffer, 512);
    const long long elapsed = MsSince(start);
    stop = true;
    far.join();
    EXPECT_EQ(got.status, ReadStatus::kData);
    EXPECT_GE(got.count, 2);
    EXPECT_GE(elapsed, 400);
    EXPECT_LT(elapsed, 2000);
}

TEST(ReadPort, HangUpMarksTheLineLostAndTheDeadHandleIsNotReadAgain)
{
    OpenPort open;
    open.pty.CloseMaster();
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
