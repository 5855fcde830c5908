// The port's modem watch: it reports the inputs of an adapter when the line
// opens and as they change, whether the driver waits for a change or has to
// be asked; a close ends even a wait that nothing else would end; a line with
// no modem lines is reported as having none, once.
#include "serial/CComPort.h"

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include <cerrno>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

constexpr int kNone = ModemListener::kNoModemLines;

// An adapter's driver in front of a pseudo-terminal. Its wait for a change
// blocks until the test says the inputs changed, as TIOCMIWAIT does, and a
// signal ends it with EINTR; a driver that cannot wait fails at once.
class InputsDriver : public LineDriver {
public:
    explicit InputsDriver(bool waits) : m_waits(waits) { EXPECT_EQ(pipe(m_changed), 0); }
    ~InputsDriver() override
    {
        close(m_changed[0]);
        close(m_changed[1]);
    }

    int GetModemLines(int, int& bits) override
    {
        bits = m_lines.load() | TIOCM_DTR;
        return 0;
    }
    int WaitModemChange(int) override
    {
        if (!m_waits) {
            errno = EINVAL;
            return -1;
        }
        pollfd changed{m_changed[0], POLLIN, 0};
        if (poll(&changed, 1, -1) < 0)
            return -1;
        char token = 0;
        return read(m_changed[0], &token, 1) == 1 ? 0 : -1;
    }

    void Change(int lines)
    {
        m_lines.store(lines);
        if (m_waits) {
            EXPECT_EQ(write(m_changed[1], "c", 1), 1);
        }
    }

private:
    const bool m_waits;
    std::atomic<int> m_lines{TIOCM_CTS};
    int m_changed[2] = {-1, -1};
};

class HeardInputs : public ModemListener {
public:
    void ModemInputs(int bits) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_heard.push_back(bits);
        m_arrived.notify_all();
    }
    // Everything heard, once the last report is want (or after 5 s).
    std::vector<int> Until(int want)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::seconds(5),
                           [&] { return !m_heard.empty() && m_heard.back() == want; });
        return m_heard;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<int> m_heard;
};

class ModemInputs : public testing::TestWithParam<bool> {};

TEST_P(ModemInputs, FollowTheAdapterUntilThePortCloses)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    InputsDriver driver(GetParam());
    HeardInputs heard;
    CComPort port(nullptr, NoCloseWait());
    port.SetLineDriver(&driver);
    port.SetModemListener(&heard);
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_EQ(heard.Until(TIOCM_CTS), std::vector<int>{TIOCM_CTS});

    driver.Change(TIOCM_CTS | TIOCM_DSR | TIOCM_CAR);
    heard.Until(TIOCM_CTS | TIOCM_DSR | TIOCM_CAR);
    driver.Change(TIOCM_RNG);
    EXPECT_EQ(heard.Until(TIOCM_RNG),
              (std::vector<int>{TIOCM_CTS, TIOCM_CTS | TIOCM_DSR | TIOCM_CAR, TIOCM_RNG}));

    // A driver's wait ends only with a change or a signal; the close must not hang on it.
    const auto closing = std::chrono::steady_clock::now();
    port.ComClose();
    EXPECT_LT(MsSince(closing), 1000);
    EXPECT_EQ(heard.Until(kNone).back(), kNone);
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Driver, ModemInputs, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Waits" : "IsAsked"; });

TEST(ModemInputs, ALineWithoutModemLinesIsReportedAsHavingNone)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    HeardInputs heard;
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3To(pty.Path()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);
    // Set once the port is open: the watch starts on the line already there.
    port.SetModemListener(&heard);
    EXPECT_EQ(heard.Until(kNone), std::vector<int>{kNone});
    port.ComClose();
    EXPECT_EQ(heard.Until(kNone), std::vector<int>{kNone});
}

} // namespace
