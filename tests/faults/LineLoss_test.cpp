// The device goes away in the middle of a stream, as when a USB adapter is
// pulled, and comes back under the same name: the view shows the line lost
// without a box, idles without spinning while it is away, and reopens it,
// with bytes flowing both ways again.

#include "FaultSupport.h"

#include "resources/CommandIds.h"
#include "support/PseudoTerminal.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <memory>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Points link at target in one step, as udev re-points a by-id link.
void PointLink(const std::filesystem::path& link, const std::string& target)
{
    const std::filesystem::path fresh = link.string() + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(target, fresh);
    std::filesystem::rename(fresh, link);
}

TEST(LineLoss, FarSideClosedMidStreamIdlesWithoutSpinningAndReopensWhenTheDeviceReturns)
{
    ScratchFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::filesystem::path link = folder.Path() / "adapter";
    auto first = std::make_unique<PseudoTerminal>();
    PointLink(link, first->Path());

    MessageBoxRecorder boxes;
    LineTimings timings = QuickLineTimings();
    timings.pump.lineCheckMs = 100;
    CChildView view(timings);
    std::vector<LineState> states;
    QObject::connect(&view.Session(), &LineSession::lineStateChanged,
                     [&](int state) { states.push_back(static_cast<LineState>(state)); });
    ASSERT_TRUE(view.Session().Ports().SetUserPath("COM5", link.string()));
    ASSERT_EQ(view.Session().ComReopen("\\\\.\\COM5", 57600), 0);
    view.Session().SetReceiveEnable(true);

    // The device stops in the middle of a line and is gone.
    for (int i = 0; i < 50; ++i)
        first->Write("line " + std::to_string(i) + " before the unplug\r\n");
    first->Write("half a li");
    const std::string tail = "line 49 before the unplug\r\nhalf a li";
    ASSERT_TRUE(WaitUntil([&] { return EndsWith(view.Session().Report().Text(), tail); }));
    first->HangUp();
    EXPECT_TRUE(WaitUntil([&] { return view.Session().GetLineState() == LineState::kLost; }));

    // While it is away the view neither spins nor gives up on it.
    const double cpuStart = ProcessCpuMs();
    QElapsedTimer wall;
    wall.start();
    RunEventLoopFor(1000);
    const double cpuUsed = ProcessCpuMs() - cpuStart;
    EXPECT_LT(cpuUsed, 0.05 * static_cast<double>(wall.elapsed()))
        << cpuUsed << " ms of CPU in " << wall.elapsed() << " ms";
    EXPECT_EQ(view.Session().GetLineState(), LineState::kLost);

    auto second = std::make_unique<PseudoTerminal>();
    PointLink(link, second->Path());
    EXPECT_TRUE(WaitUntil([&] { return view.Session().GetLineState() == LineState::kReopened; }));
    second->Write("after the return\r\n");
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(view.Session().Report().Text(), "after the return\r\n"); }));
    view.CommandLine()->setPlainText("still there?");
    view.OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(second->ReadUntilQuiet(200), "still there?\r\n");

    EXPECT_EQ(states, (std::vector<LineState>{LineState::kOpen, LineState::kLost, LineState::kReopened}));
    EXPECT_TRUE(boxes.calls.empty()) << "losing and regaining the line shows no box";
}

} // namespace
