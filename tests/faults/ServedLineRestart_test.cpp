// A line served by a real ser2net whose server stops in the middle of a
// stream and comes back, and one whose server is not up when the line is
// opened: the view says what happened once, idles without spinning while the
// server is away, and takes the line up again when it answers.

#include "FaultSupport.h"

#include "resources/CommandIds.h"
#include "serial/LineRate.h"
#include "support/MessageBoxRecorder.h"
#include "support/NetPeers.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;
using testsupport::Ser2net;

namespace {

constexpr char kCom5[] = "\\\\.\\COM5";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int FarRate(const PseudoTerminal& pty)
{
    int output = 0;
    int input = 0;
    return ReadLineRates(pty.Slave(), output, input) == 0 ? output : -1;
}

// The view's CPU use while the event loop runs for ms, as a share of the wall time.
double CpuShareOver(int ms)
{
    const double cpuStart = ProcessCpuMs();
    QElapsedTimer wall;
    wall.start();
    RunEventLoopFor(ms);
    return (ProcessCpuMs() - cpuStart) / static_cast<double>(wall.elapsed());
}

TEST(ServedLine, Ser2netStoppedMidStreamIsReportedOnceAndReopenedWhenItReturns)
{
    PseudoTerminal pty;
    Ser2net server(pty.Path(), Ser2net::Accepter::kRfc2217);
    ASSERT_TRUE(server.Start());
    MessageBoxRecorder boxes;
    CChildView view(QuickLineTimings());
    std::vector<LineState> states;
    QObject::connect(&view.Session(), &LineSession::lineStateChanged,
                     [&](int state) { states.push_back(static_cast<LineState>(state)); });
    ASSERT_TRUE(view.Session().Ports().SetUserPath("COM5", server.Url()));
    ASSERT_EQ(view.Session().ComReopen(kCom5, 57600), 0);
    view.Session().SetReceiveEnable(true);
    EXPECT_EQ(FarRate(pty), 57600);

    for (int i = 0; i < 50; ++i)
        pty.Write("line " + std::to_string(i) + " before the stop\r\n");
    ASSERT_TRUE(WaitUntil([&] { return EndsWith(view.Session().Report().Text(), "line 49 before the stop\r\n"); }));

    server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return view.Session().GetLineState() == LineState::kLost; }));
    ASSERT_TRUE(WaitUntil([&] { return !boxes.calls.empty(); }));
    EXPECT_EQ(boxes.calls[0].text, "Lost communication port '\\\\.\\COM5'");
    EXPECT_EQ(boxes.calls[0].detail, "127.0.0.1:" + std::to_string(server.Port()) +
                                         ": the server closed the connection");

    // Refused again and again while it is away: no spinning, no more boxes.
    EXPECT_LT(CpuShareOver(1500), 0.05);
    EXPECT_EQ(view.Session().GetLineState(), LineState::kLost);
    EXPECT_EQ(boxes.calls.size(), 1u);

    ASSERT_TRUE(server.Start());
    // The retries back off to at most 5 s apart.
    EXPECT_TRUE(WaitUntil([&] { return view.Session().GetLineState() == LineState::kReopened; }, 8000));
    EXPECT_EQ(FarRate(pty), 57600);
    std::string after;
    for (int i = 0; i < 50; ++i)
        after += "line " + std::to_string(i) + " after the restart\r\n";
    pty.Write(after);
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(view.Session().Report().Text(), after); }));
    view.CommandLine()->setPlainText("still there?");
    view.OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(pty.ReadUntilQuiet(300), "still there?\r\n");

    EXPECT_EQ(states, (std::vector<LineState>{LineState::kOpen, LineState::kLost, LineState::kReopened}));
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST(ServedLine, ServerNotUpAtTheOpenIsReportedOnceAndTakenWhenItStarts)
{
    PseudoTerminal pty;
    Ser2net server(pty.Path(), Ser2net::Accepter::kRawTcp);
    MessageBoxRecorder boxes;
    CChildView view(QuickLineTimings());
    ASSERT_TRUE(view.Session().Ports().SetUserPath("COM5", server.Url()));
    view.Session().SetReceiveEnable(true);

    EXPECT_EQ(view.Session().ComReopen(kCom5, 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Cannot open communication port '\\\\.\\COM5'");
    EXPECT_EQ(boxes.calls[0].detail, "127.0.0.1:" + std::to_string(server.Port()) + ": Connection refused");
    EXPECT_EQ(view.Session().GetLineState(), LineState::kLost);
    EXPECT_LT(CpuShareOver(1000), 0.05);

    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(WaitUntil([&] { return view.Session().GetLineState() == LineState::kReopened; }, 8000));
    // ser2net opens the device only after taking the connection: once what
    // was sent has reached the device, what the device sends reaches the view.
    view.CommandLine()->setPlainText("anyone there?");
    view.OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(pty.ReadUntilQuiet(300), "anyone there?\r\n");
    pty.Write("first words\r\n");
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(view.Session().Report().Text(), "first words\r\n"); }));
    EXPECT_EQ(boxes.calls.size(), 1u);
}

} // namespace
