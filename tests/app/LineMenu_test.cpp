// The Line menu on an adapter with modem lines (a driver standing behind a
// pseudo-terminal): DTR and RTS follow their marks, a break lasts its time,
// Pulse reset runs the profile's sequence in order and with its pauses, and
// the settings dialog keeps only a sequence that reads; the modem-input pane
// follows the adapter's inputs and is hidden on a line without them.
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include <sys/ioctl.h>

using testsupport::PseudoTerminal;

namespace {

using Clock = std::chrono::steady_clock;

// An adapter whose driven lines keep the levels set, each call noted with its time.
class AdapterDriver : public LineDriver {
public:
    int GetModemLines(int, int& bits) override
    {
        bits = lines;
        return 0;
    }
    int SetModemLines(int, int bits, bool on) override
    {
        lines = on ? (lines | bits) : (lines & ~bits);
        Note((on ? "raise " : "drop ") + std::string(bits == TIOCM_DTR ? "dtr" : "rts"));
        return 0;
    }
    int SetBreak(int, bool on) override
    {
        Note(on ? "break on" : "break off");
        return 0;
    }

    // Also read by the port's modem watch, on its own thread.
    std::atomic<int> lines = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS;
    std::vector<std::string> calls;
    std::vector<Clock::time_point> times;

private:
    void Note(std::string call)
    {
        calls.push_back(std::move(call));
        times.push_back(Clock::now());
    }
};

long long MsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

class LineMenu : public testing::Test {
protected:
    void Start(const char* storedSequence = nullptr)
    {
        StoreProfile({{"comport", "COM2"}});
        if (storedSequence) {
            QSettings profile = Profile();
            profile.setValue(QStringLiteral("signals/reset"), QString::fromLatin1(storedSequence));
        }
        shell = std::make_unique<Shell>(Language::English, std::vector<std::string>{"COM2=" + line.Path()});
        ASSERT_TRUE(shell->started);
        // The adapter's driver from the next open on: open again at another rate.
        View().Session().Port().SetLineDriver(&driver);
        ASSERT_EQ(View().Session().ComReopen(Frame().Setup().GetDeviceName(), 19200), 0);
        driver.calls.clear();
        driver.times.clear();
    }

    CMainFrame& Frame() { return shell->Frame(); }
    CChildView& View() { return shell->View(); }

    bool WaitForCalls(std::size_t count)
    {
        return QTest::qWaitFor([&] { return driver.calls.size() >= count && !View().Session().Signals().Running(); }, 5000);
    }

    PseudoTerminal line;
    AdapterDriver driver;
    std::unique_ptr<Shell> shell;
};

struct ToggleCase {
    int command;
    int bit;
    const char* dropped;
    const char* raised;
};

const ToggleCase kToggles[] = {
    {ID_LINE_DTR, TIOCM_DTR, "drop dtr", "raise dtr"},
    {ID_LINE_RTS, TIOCM_RTS, "drop rts", "raise rts"},
};

class LineMenuToggles : public LineMenu, public testing::WithParamInterface<ToggleCase> {};

TEST_P(LineMenuToggles, TheMarkFollowsTheLineBothWays)
{
    Start();
    const ToggleCase& c = GetParam();
    EXPECT_TRUE(Frame().IsMenuChecked(c.command)) << "the line opened with the signal raised";
    Frame().OnCommand(c.command);
    EXPECT_FALSE(Frame().IsMenuChecked(c.command));
    EXPECT_EQ(driver.lines & c.bit, 0);
    Frame().OnCommand(c.command);
    EXPECT_TRUE(Frame().IsMenuChecked(c.command));
    EXPECT_EQ(driver.calls, (std::vector<std::string>{c.dropped, c.raised}));

    // Dropped, then the port reopens: the level chosen is set again.
    Frame().OnCommand(c.command);
    driver.lines |= c.bit;  // as a fresh open raises it
    driver.calls.clear();
    ASSERT_EQ(View().Session().ComReopen(Frame().Setup().GetDeviceName(), 38400), 0);
    EXPECT_EQ(driver.calls, std::vector<std::string>{c.dropped});
    EXPECT_FALSE(Frame().IsMenuChecked(c.command));
    EXPECT_TRUE(shell->boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, LineMenuToggles, testing::ValuesIn(kToggles));

TEST_F(LineMenu, TheModemPaneFollowsTheInputsAndIsHiddenOnALineWithoutThem)
{
    Start();
    auto* pane = Frame().findChild<QLabel*>(QStringLiteral("modemPane"));
    ASSERT_NE(pane, nullptr);
    const auto shows = [&](const char* text) {
        return QTest::qWaitFor([&] { return pane->isVisibleTo(&Frame()) && pane->text() == QString::fromUtf8(text); },
                               5000);
    };
    EXPECT_TRUE(shows("●CTS ○DSR ○DCD ○RI")) << pane->text().toStdString();
    driver.lines |= TIOCM_DSR | TIOCM_RNG;
    EXPECT_TRUE(shows("●CTS ●DSR ○DCD ●RI")) << pane->text().toStdString();

    // The pseudo-terminal itself has no modem lines.
    View().Session().Port().SetLineDriver(nullptr);
    ASSERT_EQ(View().Session().ComReopen(Frame().Setup().GetDeviceName(), 9600), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pane->isVisibleTo(&Frame()); }, 5000));
}

TEST_F(LineMenu, SendBreakHoldsTheBreakForAQuarterSecondWithoutBlocking)
{
    Start();
    Frame().OnCommand(ID_LINE_BREAK);
    EXPECT_EQ(driver.calls, std::vector<std::string>{"break on"}) << "the break ends later, from the event loop";
    Frame().OnCommand(ID_LINE_BREAK);  // a second while the first runs is turned down
    ASSERT_TRUE(WaitForCalls(2));
    ASSERT_EQ(driver.calls, (std::vector<std::string>{"break on", "break off"}));
    EXPECT_GE(MsBetween(driver.times[0], driver.times[1]), 250);
    EXPECT_LT(MsBetween(driver.times[0], driver.times[1]), 2000);
}

struct PulseCase {
    const char* stored;  // the profile's sequence, nullptr for none
    std::vector<std::string> calls;
    int pauseAfter;  // the call after which the sequence pauses
    int pauseMs;
};

const PulseCase kPulses[] = {
    {nullptr, {"drop dtr", "drop rts", "raise dtr", "raise rts"}, 1, 250},
    {"rts on, 120, rts off", {"raise rts", "drop rts"}, 0, 120},
    // A stored text that does not read leaves the default.
    {"dtr sideways", {"drop dtr", "drop rts", "raise dtr", "raise rts"}, 1, 250},
};

class LineMenuPulse : public LineMenu, public testing::WithParamInterface<PulseCase> {};

TEST_P(LineMenuPulse, RunsTheProfilesSequenceInOrderWithItsPauses)
{
    Start(GetParam().stored);
    Frame().OnCommand(ID_LINE_PULSE);
    ASSERT_TRUE(WaitForCalls(GetParam().calls.size()));
    ASSERT_EQ(driver.calls, GetParam().calls);
    const int at = GetParam().pauseAfter;
    EXPECT_GE(MsBetween(driver.times[at], driver.times[at + 1]), GetParam().pauseMs);
    EXPECT_EQ(Frame().IsMenuChecked(ID_LINE_DTR), (driver.lines & TIOCM_DTR) != 0);
    EXPECT_EQ(Frame().IsMenuChecked(ID_LINE_RTS), (driver.lines & TIOCM_RTS) != 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, LineMenuPulse, testing::ValuesIn(kPulses));

TEST_F(LineMenu, TheSettingsDialogKeepsOnlyASequenceThatReads)
{
    Start();
    bool errorShown = false;
    WhenModal([&](QDialog& dialog) {
        auto* sequence = dialog.findChild<QLineEdit*>(QString::number(IDC_PULSE_SEQUENCE));
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        sequence->setText(QStringLiteral("dtr on, soon"));
        ok->click();
        auto* error = dialog.findChild<QLabel*>(QString::number(IDC_PULSE_ERROR));
        errorShown = dialog.isVisible() && error->isVisibleTo(&dialog) && error->text().contains(QStringLiteral("'soon'"));
        sequence->setText(QStringLiteral("DTR on, 60ms, dtr off"));
        ok->click();
    });
    Frame().OnCommand(ID_LINE_PULSE_SETTINGS);
    EXPECT_TRUE(errorShown);
    EXPECT_EQ(Profile().value(QStringLiteral("signals/reset")).toString(), QStringLiteral("dtr on, 60, dtr off"));
    EXPECT_EQ(Frame().ResetSequence(), "dtr on, 60, dtr off");
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/reset")));

    Frame().OnCommand(ID_LINE_PULSE);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"raise dtr", "drop dtr"}));
}

} // namespace
