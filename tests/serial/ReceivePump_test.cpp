#include "serial/CReceivePump.h"

#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"
#include "UiLoop.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

using Clock = std::chrono::steady_clock;

int g_view;
void* const kOwner = &g_view;

PumpTimings NoStartWait()
{
    PumpTimings timings;
    timings.startWaitMs = 0;
    return timings;
}

std::string Pattern(std::size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed) ^ (i >> 7));
    return bytes;
}

// The far side sends at about the pace of a 57600 bps line. The ring holds
// four reads; a far side much faster than any serial line would overrun it
// whenever the test's own thread is not scheduled for a while.
void WriteInPieces(PseudoTerminal& pty, const std::string& bytes)
{
    for (std::size_t at = 0; at < bytes.size(); at += 64) {
        pty.Write(bytes.substr(at, 64));
        std::this_thread::sleep_for(std::chrono::milliseconds(11));
    }
}

} // namespace

TEST(ReceivePump, PortOpenedAfterTheThreadStartedDeliversItsBytesInOrder)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring, NoStartWait());
    UiLoop ui(port, pump);
    ui.Start();

    ui.RunFor(250);
    EXPECT_EQ(ui.dataNotices, 0) << "no port, nothing read";

    ASSERT_EQ(port.ComReopen(kCom3, 115200), 0);
    const std::string sent = Pattern(4000, 3);
    std::thread far([&] { WriteInPieces(pty, sent); });
    EXPECT_TRUE(ui.Run([&] { return ui.received.size() >= sent.size(); }, 10000));
    far.join();
    EXPECT_TRUE(SameBytes(ui.received, sent));
    EXPECT_TRUE(ui.chunkEndsWithZero);
    EXPECT_TRUE(boxes.calls.empty());
}

// The far side sends far more than the default 2048-byte ring in one go
// while the user-interface thread is busy: a large ring keeps every byte,
// and the reader gives one notice for the lot rather than one per read.
TEST(ReceivePump, BurstWhileTheUserInterfaceIsBusyIsDeliveredWholeInOrder)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 115200), 0);
    CFIFO ring(FifoSize{64 * 1024});
    CReceivePump pump(kOwner, port, ring, NoStartWait());
    UiLoop ui(port, pump);
    ui.Start();

    const std::string sent = Pattern(40000, 21);
    pty.Write(sent);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the busy user-interface thread
    EXPECT_TRUE(ui.Run([&] { return ui.received.size() >= sent.size(); }, 10000));
    EXPECT_TRUE(SameBytes(ui.received, sent));
    EXPECT_TRUE(ui.chunkEndsWithZero);
    EXPECT_LT(ui.dataNotices, static_cast<int>(sent.size() / kMaxChunk))
        << "at most one notice waits at a time";
    EXPECT_TRUE(boxes.calls.empty()) << "no overflow";
}

TEST(ReceivePump, FirstReadWaitsForTheStartWait)
{
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    pty.Write("early");
    CFIFO ring;
    PumpTimings timings;
    timings.startWaitMs = 300;
    CReceivePump pump(kOwner, port, ring, timings);
    UiLoop ui(port, pump);

    const auto start = Clock::now();
    ui.Start();
    EXPECT_TRUE(ui.Run([&] { return ui.received == "early"; }, 5000));
    EXPECT_GE(MsSince(start), 300);
}

TEST(ReceivePump, StopEndsTheThreadAtOnceEvenDuringTheStartWait)
{
    CComPort port(kOwner);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring);  // the full 2000 ms start wait
    std::atomic<int> notices{0};
    pump.StartReceiveThread([&](int) { ++notices; }, [&] { ++notices; });
    const auto start = Clock::now();
    pump.StopReceiveThread();
    EXPECT_LT(MsSince(start), 1000);
    EXPECT_EQ(notices.load(), 0);
}

TEST(ReceivePump, StopDuringAReadReturnsWithinTheReadTimeOut)
{
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring, NoStartWait());
    pump.StartReceiveThread({}, {});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto start = Clock::now();
    pump.StopReceiveThread();
    EXPECT_LT(MsSince(start), 1000);
}

namespace {

struct CloseCase {
    const char* name;
    int baud;  // 12345 leaves the port open unconfigured
};

class ReceivePumpClose : public testing::TestWithParam<CloseCase> {};

} // namespace

// Without the wait for the reader, a read in progress would go on with the
// descriptor number after the close; the pipe made at once takes that number,
// and the reader would swallow its byte.
TEST_P(ReceivePumpClose, PortClosedDuringAReadIsNeverReadAfterTheClose)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring, NoStartWait());
    pump.StartReceiveThread({}, {});

    for (int round = 0; round < 8; ++round) {
        port.ComReopen(kCom3, round % 2 == 0 ? GetParam().baud : 9600);
        ASSERT_TRUE(port.HasHandle());
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + round * 7));
        port.ComClose();
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_EQ(write(ends[1], "p", 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        int waiting = 0;
        ioctl(ends[0], FIONREAD, &waiting);
        EXPECT_EQ(waiting, 1) << "round " << round;
        EXPECT_EQ(port.GetLineState(), LineState::kNoPort);
        close(ends[0]);
        close(ends[1]);
    }
    pump.StopReceiveThread();
    unsigned char stray = 0;
    EXPECT_EQ(ring.Get(&stray, 1), 0);
}

INSTANTIATE_TEST_SUITE_P(States, ReceivePumpClose,
                         testing::Values(CloseCase{"Open", 115200},
                                         CloseCase{"OpenUnconfigured", 12345}),
                         [](const testing::TestParamInfo<CloseCase>& info) {
                             return info.param.name;
                         });

namespace {

struct Chunk {
    std::string bytes;
    bool terminated;
};

struct Collector {
    std::vector<Chunk> chunks;
    CReceivePump::Consumer Consumer()
    {
        return [this](const unsigned char* bytes, int count) {
            chunks.push_back({std::string(reinterpret_cast<const char*>(bytes),
                                          static_cast<std::size_t>(count)),
                              bytes[count] == 0});
        };
    }
};

void Put(CFIFO& ring, const std::string& bytes)
{
    ring.Put(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

} // namespace

TEST(OnReceive, TakesTheRingIn512ByteChunksUntilEmptyAndTerminatesEach)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring);
    Collector seen;
    const std::string bytes = Pattern(600, 9);
    Put(ring, bytes.substr(0, 300));
    Put(ring, bytes.substr(300));

    EXPECT_EQ(pump.OnReceive(seen.Consumer()), 0);
    ASSERT_EQ(seen.chunks.size(), 2u) << "one notice takes all that is held";
    EXPECT_EQ(pump.OnReceive(seen.Consumer()), 0);
    ASSERT_EQ(seen.chunks.size(), 3u);
    EXPECT_EQ(seen.chunks[0].bytes, bytes.substr(0, 512));
    EXPECT_EQ(seen.chunks[1].bytes, bytes.substr(512));
    EXPECT_EQ(seen.chunks[2].bytes, "") << "a late notice finds the ring empty";
    for (const Chunk& chunk : seen.chunks)
        EXPECT_TRUE(chunk.terminated);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(OnReceive, OverflowIsReportedOnceInTheLifeOfThePump)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring);
    Collector seen;
    Put(ring, Pattern(1900, 1));
    Put(ring, Pattern(300, 2));

    bool boxBeforeLastChunk = false;
    pump.OnReceive([&](const unsigned char* bytes, int count) {
        boxBeforeLastChunk = boxBeforeLastChunk || !boxes.calls.empty();
        seen.Consumer()(bytes, count);
    });
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].owner, kOwner);
    EXPECT_EQ(boxes.calls[0].text, "Receive buffer overflowed");
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::OnReceive");
    EXPECT_EQ(boxes.calls[0].type, kMbOk);
    ASSERT_EQ(seen.chunks.size(), 4u);
    EXPECT_EQ(seen.chunks[3].bytes.size(), 512u) << "the ring held 2048 bytes";
    EXPECT_FALSE(boxBeforeLastChunk) << "the bytes come before the box";

    unsigned char drain[kFifoSize];
    while (ring.Get(drain, static_cast<int>(kFifoSize)) > 0) {
    }
    Put(ring, Pattern(2048, 3));
    Put(ring, Pattern(10, 4));
    pump.OnReceive(seen.Consumer());
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST(OnReceive, NoticeArrivingWhileTheConsumerRunsIsHandledAfterIt)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring);
    const std::string bytes = Pattern(700, 5);
    Put(ring, bytes);

    std::vector<std::string> chunks;
    int depth = 0;
    int deepest = 0;
    CReceivePump::Consumer consumer = [&](const unsigned char* data, int count) {
        deepest = std::max(deepest, ++depth);
        chunks.emplace_back(reinterpret_cast<const char*>(data), static_cast<std::size_t>(count));
        if (chunks.size() == 1)
            pump.OnReceive(consumer);  // as a box's nested loop would deliver it
        --depth;
    };
    pump.OnReceive(consumer);
    EXPECT_EQ(deepest, 1) << "the converter is never entered twice";
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0] + chunks[1], bytes);
    EXPECT_EQ(chunks[2], "") << "the held-back notice, handled after, finds the ring drained";
}

namespace {

double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Points link at target in one step, as udev re-points a by-id link.
void PointLink(const std::filesystem::path& link, const std::string& target)
{
    const std::filesystem::path fresh = link.string() + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(target, fresh);
    std::filesystem::rename(fresh, link);
}

} // namespace

TEST(ReceivePump, UnpluggedDeviceIdlesAndIsReopenedWhenItComesBack)
{
    MessageBoxRecorder boxes;
    char dirTemplate[] = "/tmp/tamsel-unplug-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::filesystem::path dir = dirTemplate;
    const std::filesystem::path link = dir / "adapter";

    auto first = std::make_unique<PseudoTerminal>();
    PointLink(link, first->Path());
    PortMap map;
    map.SetOverride("COM5=" + link.string());
    CComPort port(kOwner);
    port.SetPortMap(map);
    CFIFO ring;
    CReceivePump pump(kOwner, port, ring, NoStartWait());
    UiLoop ui(port, pump);
    ui.Start();
    ASSERT_EQ(port.ComReopen("\\\\.\\COM5", 57600), 0);

    const std::string before = Pattern(1500, 11);
    std::thread far([&] { WriteInPieces(*first, before); });
    EXPECT_TRUE(ui.Run([&] { return ui.received.size() >= before.size(); }, 10000));
    far.join();
    EXPECT_TRUE(SameBytes(ui.received, before));

    first->HangUp();
    EXPECT_TRUE(ui.Run([&] { return ui.lineNotices > 0 && !port.HasHandle(); }, 3000));
    EXPECT_EQ(port.GetLineState(), LineState::kLost);

    // While the device is away the reader neither spins nor gives up: over a
    // little more than the one-second check interval it looks once or twice.
    const int noticesBefore = ui.lineNotices;
    const double cpuStart = ProcessCpuMs();
    const auto wallStart = Clock::now();
    ui.RunFor(1200);
    const double cpuUsed = ProcessCpuMs() - cpuStart;
    const long long wall = MsSince(wallStart);
    EXPECT_LT(cpuUsed, 0.05 * static_cast<double>(wall)) << cpuUsed << " ms of CPU in " << wall << " ms";
    EXPECT_GE(ui.lineNotices - noticesBefore, 1) << "it keeps looking for the device";
    EXPECT_LE(ui.lineNotices - noticesBefore, 2) << "about once a second";
    EXPECT_EQ(port.GetLineState(), LineState::kLost);

    // The adapter comes back under the same name.
    auto second = std::make_unique<PseudoTerminal>(B9600);
    PointLink(link, second->Path());
    EXPECT_TRUE(ui.Run([&] { return port.GetLineState() == LineState::kReopened; }, 3000));
    const termios settings = second->SlaveSettings();
    EXPECT_EQ(cfgetospeed(&settings), B57600) << "reopened with the same rate";

    ui.received.clear();
    const std::string after = Pattern(1500, 12);
    far = std::thread([&] { WriteInPieces(*second, after); });
    EXPECT_TRUE(ui.Run([&] { return ui.received.size() >= after.size(); }, 10000));
    far.join();
    EXPECT_TRUE(SameBytes(ui.received, after));
    EXPECT_EQ(port.ComSend("back", -1), 0);
    EXPECT_EQ(second->ReadUntilQuiet(100), "back");
    EXPECT_TRUE(boxes.calls.empty()) << "neither losing nor regaining the line shows a box";

    pump.StopReceiveThread();
    std::filesystem::remove_all(dir);
}

TEST(ReceivePump, WakeEndsTheIdleStepSoAPortInPlaceIsReadAtOnce)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    CFIFO ring;
    PumpTimings timings = NoStartWait();
    timings.idleWaitMs = 600000;  // an idle step that outlasts the test
    CReceivePump pump(kOwner, port, ring, timings);
    UiLoop ui(port, pump);
    ui.Start();
    ui.RunFor(50);  // the reader found no port and idles

    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    ASSERT_TRUE(pty.Write("back"));
    pump.Wake();
    EXPECT_TRUE(ui.Run([&] { return ui.received == "back"; }, 5000)) << ui.received;
}

TEST(ReceivePump, PortThatNeverOpenedIsNotRetried)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To("/tmp/tamsel-no-such-device"));
    CFIFO ring;
    PumpTimings timings = NoStartWait();
    timings.lineCheckMs = 20;
    CReceivePump pump(kOwner, port, ring, timings);
    UiLoop ui(port, pump);
    ui.Start();
    EXPECT_EQ(port.ComReopen(kCom3, 9600), -1);
    ui.RunFor(300);
    EXPECT_EQ(ui.lineNotices, 0);
    EXPECT_EQ(port.GetLineState(), LineState::kNoPort);
    EXPECT_EQ(boxes.calls.size(), 1u);
}
