// The modem lines and the break go to the line that is open now, through its
// driver, and fail plainly when none is.
#include "serial/CComPort.h"

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <sys/ioctl.h>
#include <sys/stat.h>

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
    PortTimings timings;
    timings.closeWaitMs = 0;
    CComPort port(nullptr, timings);
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

} // namespace
