#include "MockedDevices.h"

#include "devices/PortFollower.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>

#include <poll.h>

namespace {

constexpr char kCom5[] = "\\\\.\\COM5";  // /dev/ttyUSB0 by default
constexpr char kFtdiId[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
constexpr char kSocket2Tty[] = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0";
constexpr char kSocket2[] = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";

// The FTDI adapter in socket 2 (ttyUSB0), opened as COM5 at 115200 bps and followed.
class PortFollowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bed.Add("machine.umockdev"));
        ASSERT_TRUE(bed.Add("ftdi-socket2.umockdev"));
        port.SetPortMap(map);
        ASSERT_EQ(port.ComReopen(kCom5, 115200), 0) << Boxes();
        ASSERT_TRUE(follower.Follow(map.Resolve(kCom5)));
        ASSERT_EQ(follower.Identity(), kFtdiId);
    }

    // What one read of the port brings, and whether it saw the hang-up.
    std::string Read(ReadStatus expected)
    {
        unsigned char buffer[256];
        const ReadResult got = port.ReadPort(buffer, sizeof buffer);
        EXPECT_EQ(got.status, expected);
        return std::string(reinterpret_cast<const char*>(buffer), got.status == ReadStatus::kData ? got.count : 0);
    }

    speed_t OutputSpeed(const std::string& node) const
    {
        const termios settings = bed.Settings(node);
        return cfgetospeed(&settings);
    }

    std::string Boxes() const
    {
        std::string texts;
        for (const MessageBoxCall& call : boxes.calls)
            texts += call.text + "\n";
        return texts;
    }

    void Unplug()
    {
        bed.Unplug("/dev/ttyUSB0", kSocket2Tty, kSocket2);
        Read(ReadStatus::kHungUp);
        ASSERT_EQ(port.GetLineState(), LineState::kLost);
    }

    // The state after udev's events have been taken, once they came.
    LineState AfterEvents()
    {
        pollfd events{follower.EventFd(), POLLIN, 0};
        EXPECT_EQ(poll(&events, 1, 2000), 1);
        return follower.TakeEvents();
    }

    testsupport::MessageBoxRecorder boxes;
    testsupport::MockedDevices bed;
    PortMap map;
    CComPort port{nullptr, PortTimings{25, 100, 10, 20, 500, 0}};
    PortFollower follower{port, map};
};

TEST_F(PortFollowerTest, ReopensTheAdapterUnderItsNewNodeWhenUdevAnnouncesIt)
{
    ASSERT_TRUE(bed.Send("/dev/ttyUSB0", "before"));
    EXPECT_EQ(Read(ReadStatus::kData), "before");
    Unplug();
    // The check that follows the hang-up lets go of the dead line; nothing is there yet.
    EXPECT_EQ(follower.CheckLine(), LineState::kLost);
    EXPECT_FALSE(port.HasHandle());

    ASSERT_TRUE(bed.Add("ftdi-socket3.umockdev"));  // another socket: ttyUSB1
    EXPECT_EQ(AfterEvents(), LineState::kReopened);
    EXPECT_EQ(OutputSpeed("/dev/ttyUSB1"), B115200);
    ASSERT_TRUE(bed.Send("/dev/ttyUSB1", "after"));
    EXPECT_EQ(Read(ReadStatus::kData), "after");
    // COM5 leads to the adapter's new node for the rest of the run, also for a new rate.
    EXPECT_EQ(map.Resolve(kCom5), "/dev/ttyUSB1");
    EXPECT_EQ(port.ComReopen(kCom5, 9600), 0) << Boxes();
    EXPECT_EQ(OutputSpeed("/dev/ttyUSB1"), B9600);
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

TEST_F(PortFollowerTest, OpensNoOtherAdapterWhateverNodeItHas)
{
    Unplug();
    ASSERT_TRUE(bed.Add("ch340-socket5.umockdev"));  // another adapter: ttyUSB2
    EXPECT_EQ(AfterEvents(), LineState::kLost);
    // The old node now leads to another device (the board on ttyACM0); a
    // retry by path would open it, the check by identity does not.
    ASSERT_TRUE(bed.Link("/dev/ttyUSB0", "/dev/ttyACM0"));
    EXPECT_EQ(follower.CheckLine(), LineState::kLost);
    EXPECT_FALSE(port.HasHandle());
    EXPECT_EQ(map.Resolve(kCom5), "/dev/ttyUSB0");

    // Back while no event was taken (it came before the loss was seen, say):
    // the next check finds it by identity.
    ASSERT_TRUE(bed.Add("ftdi-socket3.umockdev"));
    EXPECT_EQ(follower.CheckLine(), LineState::kReopened);
    ASSERT_TRUE(bed.Send("/dev/ttyUSB1", "found"));
    EXPECT_EQ(Read(ReadStatus::kData), "found");
}

} // namespace
