// The demo in its window for a few seconds: the bus's own traffic, commands
// of every kind, conversion switches and the local commands, while the
// simulator's and the reader's threads run. Under ThreadSanitizer this is the
// check that no thread reaches what belongs to another.
#include "conversions/ConversionRegistry.h"
#include "app/CMainFrame.h"
#include "app/CTamselApp.h"
#include "app/DemoSession.h"
#include "resources/CommandIds.h"
#include "support/MessageBoxRecorder.h"
#include "view/CChildView.h"
#include "report/CReportText.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <string>

using testsupport::MessageBoxRecorder;

namespace {

const char* const kCommands[] = {
    "get16 all 0",      "set16 5 3 1234;get16 5 3", "get32 12 1", "bulkget 12 0 4",
    "read16 1 0x20",    "reqprof 5",                "shownode",   "shownode reg16 5",
    "rawmode",          "get16 1 2",                "normalmode", "setid 12 33",
    "get32 33 1",       "setid 33 12",
};

const int kConversionSwitches[][2] = {
    {ID_RX_OV11, ID_TX_OV11}, {ID_RX_OV, ID_TX_OV}, {ID_RX_HEX, ID_TX_OV11}, {ID_RX_OV11, ID_TX_OV11}};

void Send(CMainFrame& frame, const char* command)
{
    frame.View()->CommandLine()->setPlainText(QString::fromLatin1(command));
    frame.OnCommand(ID_SEND_COMMAND);
}

} // namespace

TEST(DemoUnderLoad, TrafficCommandsAndSwitchesForSecondsKeepEveryNodeAnswering)
{
    MessageBoxRecorder boxes;
    DemoSession demo(true);
    std::string error;
    ASSERT_EQ(demo.Start(error), 0) << error;
    CTamselApp app(Language::English);
    app.SetBeforeCreate([&demo](CMainFrame& frame) {
        frame.SetPortChoice([&demo](CSetup& setup, PortMap& ports) { demo.MapPort(setup, ports); });
    });
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    frame.OnCommand(ID_RX_OV11);
    frame.OnCommand(ID_TX_OV11);
    demo.Introduce(frame);

    QElapsedTimer clock;
    clock.start();
    std::size_t sent = 0;
    while (clock.elapsed() < 4000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (clock.elapsed() < static_cast<qint64>(sent) * 120)
            continue;
        if (sent % 7 == 6) {
            const int* pair = kConversionSwitches[(sent / 7) % std::size(kConversionSwitches)];
            frame.OnCommand(pair[0]);
            frame.OnCommand(pair[1]);
        }
        Send(frame, kCommands[sent % std::size(kCommands)]);
        ++sent;
    }
    frame.OnCommand(ID_RX_OV11);
    frame.OnCommand(ID_TX_OV11);
    Send(frame, "get16 all 0");
    const std::string& report = frame.View()->Session().Report().Text();
    for (const char* reply : {"from ID:01 to ID:3F", "from ID:05 to ID:3F", "from ID:0C to ID:3F"}) {
        QElapsedTimer wait;
        wait.start();
        while (report.find(reply) == std::string::npos && wait.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_NE(report.find(reply), std::string::npos) << reply;
    }
    EXPECT_GT(sent, 20u);
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().caption << ": " << boxes.calls.front().text;
}
