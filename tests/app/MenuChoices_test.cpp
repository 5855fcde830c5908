// Command-line choices carried out in the running shell as the menus and the
// setup dialog carry them out: marks, panes and the view agree afterwards,
// and the profile's port is not opened when another one was chosen.
#include "ShellFixture.h"
#include "support/PseudoTerminal.h"
#include "app/MenuChoices.h"

#include <gtest/gtest.h>

using testsupport::PseudoTerminal;

namespace {

// The application started as main() starts it with these choices.
class ChosenShell {
public:
    ChosenShell(const CommandLineOptions& options, std::vector<std::string> ports) : app(Language::English)
    {
        app.SetPortOverrides(std::move(ports));
        app.SetBeforeCreate([options](CMainFrame& frame) {
            frame.SetPortChoice([options](CSetup& setup, PortMap&) {
                ChoosePortAndRate(setup, options.port, options.baud);
            });
        });
        started = app.InitInstance();
        if (started)
            ApplyMenuChoices(options, *app.MainFrame());
        QCoreApplication::sendPostedEvents(app.MainFrame(), CommandEvent::Kind());
    }

    CMainFrame& Frame() { return *app.MainFrame(); }

    MessageBoxRecorder boxes;
    CTamselApp app;
    bool started = false;
};

TEST(MenuChoices, ShowInTheMarksPanesAndViewAsIfChosen)
{
    StoreProfile({{"comport", "COM1"}, {"comspeed", 9600}, {"receiveXrate", 3}, {"sendXrate", 3}});
    PseudoTerminal line;
    CommandLineOptions options;
    options.port = 2;
    options.baud = 115200;
    options.rxConversion = 1;
    options.txConversion = 2;
    options.switches[ID_LOCAL_ECHO] = false;
    options.switches[ID_RECEIVE_ENABLE] = false;
    ChosenShell shell(options, {"COM1=/dev/tamsel-test-no-device", "COM2=" + line.Path()});
    ASSERT_TRUE(shell.started);
    CMainFrame& frame = shell.Frame();

    EXPECT_TRUE(shell.boxes.calls.empty());  // COM1 was never tried
    EXPECT_EQ(frame.View()->Session().GetLineState(), LineState::kOpen);
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_PORT), "\\\\.\\COM2");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_BAUD), "115200 bps");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "Rx:HEX");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), "Tx:Bin");
    EXPECT_TRUE(frame.IsMenuChecked(ID_RX_HEX));
    EXPECT_FALSE(frame.IsMenuChecked(ID_RX_OV));
    EXPECT_TRUE(frame.IsMenuChecked(ID_TX_BIN));
    EXPECT_FALSE(frame.IsMenuChecked(ID_TX_OV));
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), "Rx suspended");
    EXPECT_FALSE(frame.IsMenuChecked(ID_RECEIVE_ENABLE));
    EXPECT_FALSE(frame.View()->Session().ReceiveEnabled());
    EXPECT_FALSE(frame.IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_FALSE(frame.View()->Session().LocalEcho());
}

TEST(MenuChoices, ASwitchAlreadyAsChosenIsLeftAlone)
{
    StoreProfile({{"receiveenable", 1}, {"localecho", 0}});
    PseudoTerminal line;
    CommandLineOptions options;
    options.switches[ID_RECEIVE_ENABLE] = true;
    options.switches[ID_LOCAL_ECHO] = false;
    ChosenShell shell(options, {"COM1=" + line.Path()});
    ASSERT_TRUE(shell.started);
    CMainFrame& frame = shell.Frame();
    // The receive pane keeps its placeholder until the menu item is chosen.
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), "ReceiveOn");
    EXPECT_TRUE(frame.IsMenuChecked(ID_RECEIVE_ENABLE));
    EXPECT_FALSE(frame.IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "Rx:OV");
}

} // namespace
