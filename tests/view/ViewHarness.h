#pragma once

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"
#include "view/CChildView.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

// The waits of the line that decide nothing a view test checks, shortened.
inline LineTimings FastLineTimings()
{
    LineTimings timings;
    timings.port.readIntervalMs = 5;
    timings.port.readTotalMs = 20;
    timings.port.closeWaitMs = 0;
    timings.pump.startWaitMs = 0;
    timings.pump.idleWaitMs = 5;
    timings.pump.retryWaitMs = 1;
    return timings;
}

// Runs the event loop, without spinning, until done() holds or timeoutMs has
// passed; returns done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return QTest::qWaitFor(done, timeoutMs);
}

inline constexpr char kTestPortKey[] = "COM7";
inline constexpr char kTestPortName[] = "\\\\.\\COM7";

// A view whose port COM7 is mapped to a pseudo-terminal; the test is the far side.
class ViewOnLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.IsOpen());
        ASSERT_TRUE(view.Session().Ports().SetUserPath(kTestPortKey, line.Path()));
        ASSERT_EQ(view.Session().ComReopen(kTestPortName, 115200), 0);
        view.resize(640, 480);
    }

    // The view's posted commands (the command line's Enter) run now, and so
    // does a send that had to wait and was posted again when the running one ended.
    static void RunPosted()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
    }

    std::string ReportText() const { return view.Session().Report().Text(); }

    MessageBoxRecorder boxes;  // outlives the view, which owns every box
    PseudoTerminal line;
    CChildView view{FastLineTimings()};
};
