// Rates beyond the termios speed constants: set through the kernel's
// arbitrary rate and read back the same way on a pseudo-terminal, which takes
// any rate; a driver that refuses one or rounds it away through the seam.
#include "serial/CComPort.h"
#include "serial/LineRate.h"

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

// The far side's view of the line's rate.
int RateOf(const PseudoTerminal& pty)
{
    int output = 0;
    int input = 0;
    EXPECT_EQ(ReadLineRates(pty.Slave(), output, input), 0);
    EXPECT_EQ(input, output);
    return output;
}

struct RateChange {
    int from;  // 0: a first open
    int to;
};

void PrintTo(const RateChange& c, std::ostream* out)
{
    *out << c.from << " -> " << c.to << " bps";
}

class LineRates : public testing::TestWithParam<RateChange> {};

TEST_P(LineRates, AreSetAndReadBack)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    if (GetParam().from != 0) {
        ASSERT_EQ(port.ComReopen(kCom3, GetParam().from), 0);
    }
    EXPECT_EQ(port.ComReopen(kCom3, GetParam().to), 0);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    EXPECT_EQ(RateOf(pty), GetParam().to);
    // The frame is 8N1 raw whichever way the rate went in.
    const termios settings = pty.SlaveSettings();
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_lflag & ICANON, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Port, LineRates,
    testing::Values(RateChange{0, 250000}, RateChange{0, 12345}, RateChange{0, 50}, RateChange{0, 4000000},
                    RateChange{0, 1500000}, RateChange{250000, 9600}, RateChange{9600, 250000},
                    RateChange{250000, 74880}, RateChange{74880, 1500000}));

// A driver that refuses 250000 bps, or sets another rate when asked for it.
class OddDriver : public LineDriver {
public:
    explicit OddDriver(int sets) : m_sets(sets) {}
    int SetArbitraryRate(int fd, int rate) override
    {
        if (rate == 250000 && m_sets == 0) {
            errno = EINVAL;
            return -1;
        }
        return LineDriver::SetArbitraryRate(fd, rate == 250000 ? m_sets : rate);
    }

private:
    int m_sets;
};

struct RefusedCase {
    const char* name;
    int sets;  // 0: refuses
    const char* detailEnd;
};

class RefusedOtherRate : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedOtherRate, LeavesTheLineAtItsRateAfterTheSetupMessage)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    OddDriver driver(GetParam().sets);
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 74880), 0);
    ASSERT_EQ(RateOf(pty), 74880);

    EXPECT_EQ(port.ComReopen(kCom3, 250000), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Failed to setup communication port '\\\\.\\COM3'/250000");
    EXPECT_EQ(boxes.calls[0].detail, pty.Path() + GetParam().detailEnd);
    EXPECT_EQ(port.GetLineState(), LineState::kOpenUnconfigured);
    EXPECT_EQ(RateOf(pty), 74880);
}

INSTANTIATE_TEST_SUITE_P(
    Port, RefusedOtherRate,
    testing::Values(RefusedCase{"Refuses", 0, ": Invalid argument"},
                    // 3% off: beyond what a UART keeps in step with.
                    RefusedCase{"RoundsFarOff", 242500, ": the device did not take the line settings"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(OtherRate, RoundedByTheDriverWithinTwoPercentIsTaken)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    OddDriver driver(245000);
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);
    port.SetPortMap(MapCom3To(pty.Path()));
    EXPECT_EQ(port.ComReopen(kCom3, 250000), 0);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    EXPECT_EQ(RateOf(pty), 245000);
}

} // namespace
