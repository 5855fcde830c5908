// The modem lines and the break go to the line that is open now, through its
// driver, and fail plainly when none is; the levels chosen are set again at
// every open; a line without modem lines is said once, a refusal each time
// with the system's reason.
#include "serial/CComPort.h"

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <cstdio>
#include <cstring>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

// An adapter with modem lines, standing behind a pseudo-terminal (which has none).
class RecordingDriver : public LineDriver {
public:
    int GetModemLines(int fd, int& bits) override
    {
        Note(fd, "get");
        bits = TIOCM_CTS | TIOCM_DSR;
        return 0;
    }
    int SetModemLines(int fd, int bits, bool on) override
    {
        Note(fd, (on ? "raise " : "drop ") + std::to_string(bits));
        return 0;
    }
    int SetBreak(int fd, bool on) override
    {
        Note(fd, on ? "break on" : "break off");
        return 0;
    }

    std::vector<std::string> calls;
    std::vector<dev_t> devices;  // the device each call reached

private:
    void Note(int fd, std::string call)
    {
        struct stat seen {};
        fstat(fd, &seen);
        devices.push_back(seen.st_rdev);
        calls.push_back(std::move(call));
    }
};

struct SignalCase {
    const char* name;
    std::function<int(CComPort&)> call;
    const char* recorded;
};

const SignalCase kSignalCases[] = {
    {"raise_dtr", [](CComPort& port) { return port.SetModemLines(TIOCM_DTR, true); }, "raise 2"},
    {"drop_rts", [](CComPort& port) { return port.SetModemLines(TIOCM_RTS, false); }, "drop 4"},
    {"break_on", [](CComPort& port) { return port.SetBreak(true); }, "break on"},
    {"break_off", [](CComPort& port) { return port.SetBreak(false); }, "break off"},
    {"read_lines",
     [](CComPort& port) {
         int bits = 0;
         return port.GetModemLines(bits) == 0 && bits == (TIOCM_CTS | TIOCM_DSR) ? 0 : -1;
     },
     "get"},
};

class PortSignals : public testing::TestWithParam<SignalCase> {};

TEST_P(PortSignals, ReachTheOpenDeviceAndFailWithoutOne)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    RecordingDriver driver;
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);

    errno = 0;
    EXPECT_EQ(GetParam().call(port), -1);
    EXPECT_EQ(errno, ENOTCONN);
    EXPECT_TRUE(driver.calls.empty());

    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_EQ(GetParam().call(port), 0);
    ASSERT_EQ(driver.calls, std::vector<std::string>{GetParam().recorded});
    struct stat device {};
    ASSERT_EQ(stat(pty.Path().c_str(), &device), 0);
    EXPECT_EQ(driver.devices[0], device.st_rdev);

    port.ComClose();
    EXPECT_EQ(GetParam().call(port), -1);
    EXPECT_EQ(driver.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Calls, PortSignals, testing::ValuesIn(kSignalCases),
                         [](const auto& info) { return std::string(info.param.name); });

// COM3 through a link that the test points at one pseudo-terminal and then
// another, as udev points a stable name at a replugged adapter.
class LinkedPort {
public:
    LinkedPort()
    {
        char dir[] = "/tmp/tamsel-signals-XXXXXX";
        if (mkdtemp(dir) != nullptr)
            m_dir = dir;
        PointAt(first);
    }
    ~LinkedPort()
    {
        unlink(Link().c_str());
        rmdir(m_dir.c_str());
    }
    std::string Link() const { return m_dir + "/port"; }
    void PointAt(const PseudoTerminal& pty)
    {
        unlink(Link().c_str());
        ASSERT_EQ(symlink(pty.Path().c_str(), Link().c_str()), 0);
    }

    PseudoTerminal first;

private:
    std::string m_dir;
};

TEST(PortSignalLevels, ChosenLevelsAreSetAtEveryOpenAndAfterALostLineComesBack)
{
    MessageBoxRecorder boxes;
    LinkedPort link;
    RecordingDriver driver;
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);
    port.SetPortMap(MapCom3To(link.Link()));
    EXPECT_EQ(port.WantedSignal(LineSignal::kDtr), -1);

    // Chosen before any port is open: kept, nothing called yet.
    EXPECT_EQ(port.SetSignal(LineSignal::kDtr, false), 0);
    EXPECT_EQ(port.SetSignal(LineSignal::kRts, true), 0);
    EXPECT_TRUE(driver.calls.empty());

    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"drop 2", "raise 4"}));

    // A later choice changes what the next open sets.
    EXPECT_EQ(port.SetSignal(LineSignal::kDtr, true), 0);
    driver.calls.clear();
    ASSERT_EQ(port.ComReopen(kCom3, 19200), 0);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"raise 2", "raise 4"}));

    // The adapter goes and comes back as another device: the reopen sets both again, on the new one.
    PseudoTerminal second;
    unsigned char buffer[64];
    link.first.HangUp();
    ASSERT_EQ(port.ReadPort(buffer, sizeof buffer).status, ReadStatus::kHungUp);
    link.PointAt(second);
    driver.calls.clear();
    driver.devices.clear();
    ASSERT_EQ(port.CheckLine(), LineState::kReopened);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"raise 2", "raise 4"}));
    struct stat device {};
    ASSERT_EQ(stat(second.Path().c_str(), &device), 0);
    ASSERT_FALSE(driver.devices.empty());
    EXPECT_EQ(driver.devices.back(), device.st_rdev);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(PortSignalLevels, APseudoTerminalHasNoModemLinesAndSaysSoOnceOnly)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    // The kernel's own calls on a real pseudo-terminal.
    EXPECT_EQ(port.SetSignal(LineSignal::kDtr, false), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::ComSignal");
    EXPECT_EQ(boxes.calls[0].text, "Communication port '\\\\.\\COM3' has no modem lines (DTR, RTS, break)");
    EXPECT_EQ(boxes.calls[0].detail.rfind(pty.Path() + ": the device has no modem lines", 0), 0u)
        << boxes.calls[0].detail;

    // A pseudo-terminal would take a break without a word; it is refused as the lines are.
    EXPECT_EQ(port.ComBreak(true), -1);
    EXPECT_EQ(port.SetSignal(LineSignal::kRts, true), -1);
    // Reopening sets the chosen levels again, still without a second box.
    ASSERT_EQ(port.ComReopen(kCom3, 19200), 0);
    EXPECT_EQ(boxes.calls.size(), 1u);
}

// A driver that refuses every modem-line and break call with err.
class RefusingDriver : public LineDriver {
public:
    explicit RefusingDriver(int err) : m_err(err) {}
    int GetModemLines(int, int& bits) override
    {
        bits = 0;
        return 0;
    }
    int SetModemLines(int, int, bool) override { return Refuse(); }
    int SetBreak(int, bool) override { return Refuse(); }

private:
    int Refuse()
    {
        errno = m_err;
        return -1;
    }
    int m_err;
};

struct RefusalCase {
    const char* name;
    std::function<int(CComPort&)> call;
    const char* text;
};

const RefusalCase kRefusals[] = {
    {"dtr", [](CComPort& port) { return port.SetSignal(LineSignal::kDtr, true); },
     "Cannot set DTR on communication port '\\\\.\\COM3'"},
    {"rts", [](CComPort& port) { return port.SetSignal(LineSignal::kRts, false); },
     "Cannot set RTS on communication port '\\\\.\\COM3'"},
    {"break", [](CComPort& port) { return port.ComBreak(true); },
     "Cannot set a break on communication port '\\\\.\\COM3'"},
};

class SignalRefused : public testing::TestWithParam<RefusalCase> {};

TEST_P(SignalRefused, EveryTimeWithTheSystemsReason)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    RefusingDriver driver(EIO);
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    for (int time = 1; time <= 2; ++time) {
        EXPECT_EQ(GetParam().call(port), -1);
        ASSERT_EQ(boxes.calls.size(), static_cast<std::size_t>(time));
        EXPECT_EQ(boxes.calls.back().text, GetParam().text);
        EXPECT_EQ(boxes.calls.back().detail, pty.Path() + ": " + std::strerror(EIO));
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, SignalRefused, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
