#include "serial/CComPort.h"
#include "serial/PortErrors.h"

#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

using Clock = std::chrono::steady_clock;

int g_view;  // stands for the view that owns the boxes
void* const kOwner = &g_view;

void ExpectBox(const MessageBoxCall& call, const std::string& text, const std::string& caption)
{
    EXPECT_EQ(call.owner, kOwner);
    EXPECT_EQ(call.text, text);
    EXPECT_EQ(call.caption, caption);
    EXPECT_EQ(call.type, kMbOk);
}

} // namespace

TEST(ComPort, OpensAtTheRateWith8N1RawAndKeepsTheOtherSettings)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    termios before = pty.SlaveSettings();
    before.c_cflag |= CSTOPB | CRTSCTS;
    before.c_lflag |= ICANON | ECHO;
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_cc[VINTR] = 5;
    ASSERT_EQ(tcsetattr(pty.Slave(), TCSANOW, &before), 0);

    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    EXPECT_EQ(port.ComReopen(kCom3, 115200), 0);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    EXPECT_TRUE(port.HasHandle());
    EXPECT_STREQ(port.PortName(), kCom3);
    EXPECT_EQ(port.BaudRate(), 115200);

    const termios after = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B115200);
    EXPECT_EQ(cfgetispeed(&after), B115200);
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(after.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_NE(after.c_cflag & CRTSCTS, 0u) << "hardware flow control stays as it was";
    EXPECT_NE(after.c_iflag & IXOFF, 0u) << "input flow control stays as it was";
    EXPECT_EQ(after.c_cc[VINTR], 5);
}

TEST(ComPort, SendWritesExactlyTheBytesAsked)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    EXPECT_EQ(port.ComSend("get16 5 3\r\n", -1), 0);
    EXPECT_EQ(pty.ReadUntilQuiet(50), "get16 5 3\r\n");
    EXPECT_EQ(port.ComSend("\x45\x02\x00\x43", 4), 0) << "a zero byte is data when the length is given";
    EXPECT_EQ(pty.ReadUntilQuiet(50), std::string("\x45\x02\x00\x43", 4));
    EXPECT_EQ(port.ComSend("abc", 0), 0);
    EXPECT_EQ(port.ComSend("", -1), 0);
    EXPECT_EQ(pty.ReadUntilQuiet(50), "");
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(ComPort, AbsentDeviceLeavesNoPortAndTheSameRequestIsNotRetried)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To("/tmp/tamsel-no-such-device"));

    EXPECT_EQ(port.ComReopen(kCom3, 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Cannot open communication port '\\\\.\\COM3'", "Tamsel::ComOpen");
    EXPECT_EQ(boxes.calls[0].detail, "/tmp/tamsel-no-such-device: no such device");
    EXPECT_EQ(port.GetLineState(), LineState::kNoPort);
    EXPECT_FALSE(port.HasHandle());

    EXPECT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(port.ComReopen(kCom3, 19200), -1) << "another rate is a new request";
    EXPECT_EQ(boxes.calls.size(), 2u);

    EXPECT_EQ(port.ComSend("x", -1), -1);
    ASSERT_EQ(boxes.calls.size(), 3u);
    ExpectBox(boxes.calls[2], "Failed to transmit", "Tamsel::ComSend");
    EXPECT_EQ(port.GetLineState(), LineState::kNoPort);
}

TEST(ComPort, NameThatMapsToNoDeviceSaysSoInTheDetail)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner, NoCloseWait());
    EXPECT_EQ(port.ComReopen("\\\\.\\COM21", 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Cannot open communication port '\\\\.\\COM21'", "Tamsel::ComOpen");
    EXPECT_NE(boxes.calls[0].detail.find("no device path for \\\\.\\COM21"), std::string::npos);
}

TEST(ComPort, NameLongerThan19CharactersIsCutTheSameWayEveryTime)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner, NoCloseWait());
    EXPECT_EQ(port.ComReopen("\\\\.\\COM3-and-far-too-long", 9600), -1);
    EXPECT_STREQ(port.PortName(), "\\\\.\\COM3-and-far-to");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Cannot open communication port '\\\\.\\COM3-and-far-to'");
    EXPECT_EQ(port.ComReopen("\\\\.\\COM3-and-far-too-long", 9600), 0);
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST(ComPort, SecondOpenOfABusyDeviceFailsAndTheFirstKeepsWorking)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort first(kOwner, NoCloseWait());
    CComPort second(kOwner, NoCloseWait());
    first.SetPortMap(MapCom3To(pty.Path()));
    second.SetPortMap(MapCom3To(pty.Path()));

    ASSERT_EQ(first.ComReopen(kCom3, 9600), 0);
    EXPECT_EQ(second.ComReopen(kCom3, 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Cannot open communication port '\\\\.\\COM3'", "Tamsel::ComOpen");
    EXPECT_EQ(boxes.calls[0].detail,
              pty.Path() + ": port busy (another program or window has it open)");
    EXPECT_EQ(second.GetLineState(), LineState::kNoPort);
    EXPECT_EQ(first.ComSend("ok", -1), 0);
    EXPECT_EQ(pty.ReadUntilQuiet(50), "ok");

    // Closing gives the device up; the name and rate stay as requested.
    EXPECT_EQ(first.ComClose(), 0);
    EXPECT_EQ(first.GetLineState(), LineState::kNoPort);
    EXPECT_STREQ(first.PortName(), kCom3);
    EXPECT_EQ(first.BaudRate(), 9600);
    EXPECT_EQ(second.ComReopen(kCom3, 19200), 0);
    EXPECT_EQ(second.GetLineState(), LineState::kOpen);
}

TEST(ComPort, DeviceWithoutLineSettingsIsHeldOpenUnconfigured)
{
    MessageBoxRecorder boxes;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To("/dev/null"));
    EXPECT_EQ(port.ComReopen(kCom3, 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Cannot get status of communication port '\\\\.\\COM3'",
              "Tamsel::ComOpen");
    EXPECT_EQ(boxes.calls[0].detail.rfind("/dev/null: ", 0), 0u);
    EXPECT_EQ(port.GetLineState(), LineState::kOpenUnconfigured);
    EXPECT_TRUE(port.HasHandle());
    EXPECT_EQ(port.ComSend("still writes", -1), 0);
}

namespace {

// A driver that refuses the settings outright, or takes all but the rate
// and says it took them.
class RefusingPort : public CComPort {
public:
    enum class Driver { kRefuses, kTakesPart };
    RefusingPort(Driver driver) : CComPort(kOwner, NoCloseWait()), m_driver(driver) {}

protected:
    int ApplyLineSettings(int fd, const termios& settings) override
    {
        if (m_driver == Driver::kRefuses) {
            errno = EINVAL;
            return -1;
        }
        termios current{};
        tcgetattr(fd, &current);
        termios part = settings;
        cfsetispeed(&part, cfgetispeed(&current));
        cfsetospeed(&part, cfgetospeed(&current));
        return tcsetattr(fd, TCSANOW, &part);
    }

private:
    Driver m_driver;
};

struct RejectCase {
    const char* name;
    int baud;
    bool seam;
    RefusingPort::Driver driver;
    const char* detailEnd;
};

class ComPortRejectedRate : public testing::TestWithParam<RejectCase> {};

} // namespace

TEST_P(ComPortRejectedRate, PortStaysOpenWithItsPreviousSettings)
{
    const RejectCase& c = GetParam();
    MessageBoxRecorder boxes;
    PseudoTerminal pty(B9600);
    termios before = pty.SlaveSettings();
    before.c_cflag |= CSTOPB;
    ASSERT_EQ(tcsetattr(pty.Slave(), TCSANOW, &before), 0);

    std::unique_ptr<CComPort> port = c.seam ? std::make_unique<RefusingPort>(c.driver)
                                            : std::make_unique<CComPort>(kOwner, NoCloseWait());
    port->SetPortMap(MapCom3To(pty.Path()));
    EXPECT_EQ(port->ComReopen(kCom3, c.baud), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0],
              "Failed to setup communication port '\\\\.\\COM3'/" + std::to_string(c.baud),
              "Tamsel::ComOpen");
    const std::string& detail = boxes.calls[0].detail;
    EXPECT_EQ(detail, pty.Path() + c.detailEnd);
    EXPECT_EQ(port->GetLineState(), LineState::kOpenUnconfigured);
    EXPECT_TRUE(port->HasHandle());

    const termios after = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B9600);
    EXPECT_NE(after.c_cflag & CSTOPB, 0u);

    EXPECT_EQ(port->ComSend("x", 1), 0) << "an unconfigured port still writes";
    EXPECT_EQ(pty.ReadUntilQuiet(50), "x");
    EXPECT_EQ(port->ComReopen(kCom3, c.baud), 0) << "the same request is not retried";
    EXPECT_EQ(boxes.calls.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, ComPortRejectedRate,
    testing::Values(RejectCase{"RateBeyondTheLineRange", 4000001, false, {},
                               ": the rate 4000001 bps is outside 50 to 4000000 bps"},
                    RejectCase{"RateBelowTheLineRange", 49, false, {},
                               ": the rate 49 bps is outside 50 to 4000000 bps"},
                    RejectCase{"DriverRefuses", 115200, true, RefusingPort::Driver::kRefuses,
                               ": Invalid argument"},
                    RejectCase{"DriverTakesOnlyPart", 115200, true, RefusingPort::Driver::kTakesPart,
                               ": the device did not take the line settings"}),
    [](const testing::TestParamInfo<RejectCase>& info) { return info.param.name; });

TEST(ComPort, RejectedRateThenAGoodRateConfiguresThePort)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    EXPECT_EQ(port.ComReopen(kCom3, 4000001), -1);
    EXPECT_EQ(port.ComReopen(kCom3, 57600), 0);
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    const termios after = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B57600);
}

TEST(ComPort, WriteToAVanishedDeviceFailsAndLeavesTheStateAlone)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    pty.HangUp();

    EXPECT_EQ(port.ComSend("abc", -1), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Failed to transmit", "Tamsel::ComSend");
    EXPECT_EQ(boxes.calls[0].detail, pty.Path() + ": Input/output error");
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
}

TEST(ComPort, WriteToAFarSideThatNeverReadsTimesOutAfter20MsPerBytePlus500)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    // Fill the line's output queue through the test's own descriptor. The
    // kernel moves queued bytes on in the background, so keep at it until
    // the queue stays full.
    fcntl(pty.Slave(), F_SETFL, fcntl(pty.Slave(), F_GETFL) | O_NONBLOCK);
    const std::string block(4096, 'f');
    for (int quiet = 0; quiet < 3;) {
        if (write(pty.Slave(), block.data(), block.size()) > 0) {
            quiet = 0;
        } else {
            ASSERT_EQ(errno, EAGAIN);
            ++quiet;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    const auto start = Clock::now();
    EXPECT_EQ(port.ComSend("0123456789", 10), -1);
    const long long elapsed = MsSince(start);
    EXPECT_GE(elapsed, 20 * 10 + 500);
    EXPECT_LT(elapsed, 5000);
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(boxes.calls[0], "Failed to transmit (Time out?)", "Tamsel::ComSend");
    EXPECT_EQ(boxes.calls[0].detail, "0 of 10 bytes written in 700 ms") << "the far side took nothing";
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);

    // Once the far side reads, writing works again.
    EXPECT_GT(pty.ReadUntilQuiet(20).size(), 0u);
    EXPECT_EQ(port.ComSend("ok", -1), 0);
}

TEST(ComPort, ReopenWithAnotherRateClosesWaitsAndOpensAgain)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(kOwner);
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    auto start = Clock::now();
    EXPECT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_LT(MsSince(start), 200) << "nothing to change, no close";

    start = Clock::now();
    EXPECT_EQ(port.ComReopen(kCom3, 38400), 0);
    EXPECT_GE(MsSince(start), 200);
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    const termios after = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B38400);
    EXPECT_TRUE(boxes.calls.empty());
}

// A close wait long enough that a wait taken by mistake cannot pass unseen
// on a busy machine; the test takes it only if it fails.
TEST(ComPort, WithNoHandleHeldCloseAndReopenDoNotWait)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    PortTimings timings;
    timings.closeWaitMs = 1000;
    CComPort port(kOwner, timings);

    auto start = Clock::now();
    EXPECT_EQ(port.ComClose(), 0);
    EXPECT_LT(MsSince(start), 500) << "close with nothing open";

    port.SetPortMap(MapCom3To("/tmp/tamsel-no-such-device"));
    start = Clock::now();
    EXPECT_EQ(port.ComReopen(kCom3, 9600), -1);
    EXPECT_LT(MsSince(start), 500) << "first open";

    port.SetPortMap(MapCom3To(pty.Path()));
    start = Clock::now();
    EXPECT_EQ(port.ComReopen(kCom3, 19200), 0);
    EXPECT_LT(MsSince(start), 500) << "reopen after a failed open";
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST(ComPort, OpenFailureDetailNamesTheReasonAUserCanActOn)
{
    const struct {
        int err;
        const char* detail;
    } cases[] = {
        {ENOENT, "/dev/ttyUSB0: no such device"},
        {ENXIO, "/dev/ttyUSB0: no such device"},
        {EACCES, "/dev/ttyUSB0: permission denied (serial devices usually belong to the group "
                 "dialout: add the user to it and log in again)"},
        {EBUSY, "/dev/ttyUSB0: port busy (another program or window has it open)"},
        {EWOULDBLOCK, "/dev/ttyUSB0: port busy (another program or window has it open)"},
        {EIO, "/dev/ttyUSB0: Input/output error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenFailureDetail("/dev/ttyUSB0", c.err), c.detail) << c.err;
    // A stable name that is gone: the adapter is away, and where to look for it.
    EXPECT_EQ(OpenFailureDetail("/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0", ENOENT),
              "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0: no such device (that adapter is not "
              "plugged in; tamsel --list-ports lists the devices present)");
}
