// Start-up flows: the profile read at the end of the frame's creation, the two
// conversion commands it posts, and saving straight after start-up.
#include "ShellFixture.h"
#include "serial/LineRate.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

using testsupport::PseudoTerminal;

namespace {

const int kRxCommands[] = {ID_RX_RAW, ID_RX_HEX, ID_RX_BIN, ID_RX_OV, ID_RX_OV11};
const int kTxCommands[] = {ID_TX_RAW, ID_TX_HEX, ID_TX_BIN, ID_TX_OV, ID_TX_OV11};

int MarkedItem(CMainFrame& frame, const int (&commands)[5])
{
    int marked = 0;
    for (const int id : commands) {
        if (frame.IsMenuChecked(id)) {
            if (marked != 0)
                return -1;  // two marks in one menu
            marked = id;
        }
    }
    return marked;
}

TEST(Startup, EmptyProfileGivesComOneAt9600EchoAndDisplayOnAndOrvaneTenBothWays)
{
    StoreProfile({});
    PseudoTerminal line;
    Shell shell(Language::English, {"COM1=" + line.Path()});
    ASSERT_TRUE(shell.started);
    CMainFrame& frame = shell.Frame();

    EXPECT_EQ(frame.windowTitle(), "TamSel Serial port Monitor 1.1 (OV1.1)");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_PORT), "\\\\.\\COM1");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_BAUD), "9600 bps");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), "ReceiveOn");
    EXPECT_EQ(frame.PaneText(ID_SEPARATOR), "Ready");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_LINE), "Line open");
    EXPECT_EQ(shell.View().Session().GetLineState(), LineState::kOpen);
    EXPECT_TRUE(frame.IsMenuChecked(ID_RECEIVE_ENABLE));
    EXPECT_TRUE(frame.IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_TRUE(shell.View().Session().ReceiveEnabled());
    EXPECT_TRUE(shell.View().Session().LocalEcho());
    EXPECT_TRUE(shell.boxes.calls.empty());

    // Until the posted commands run: placeholders and no radio marks.
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "TxConv");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), "RxConv");
    EXPECT_EQ(MarkedItem(frame, kRxCommands), 0);
    EXPECT_EQ(MarkedItem(frame, kTxCommands), 0);

    shell.RunPostedCommands();
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "Rx:OV");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), "Tx:OV");
    EXPECT_EQ(MarkedItem(frame, kRxCommands), ID_RX_OV);
    EXPECT_EQ(MarkedItem(frame, kTxCommands), ID_TX_OV);
}

TEST(Startup, StoredProfileIsRestored)
{
    StoreProfile({{"comport", "\\\\.\\COM7"}, {"comspeed", 115200}, {"receiveenable", 0},
                  {"localecho", 0}, {"receiveXrate", 1}, {"sendXrate", 4}});
    PseudoTerminal line;
    Shell shell(Language::English, {"COM7=" + line.Path()});
    ASSERT_TRUE(shell.started);
    CMainFrame& frame = shell.Frame();
    shell.RunPostedCommands();

    EXPECT_EQ(frame.Setup().PortIndex(), 6);
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_PORT), "\\\\.\\COM7");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_BAUD), "115200 bps");
    EXPECT_EQ(shell.View().Session().GetLineState(), LineState::kOpen);
    EXPECT_FALSE(frame.IsMenuChecked(ID_RECEIVE_ENABLE));
    EXPECT_FALSE(shell.View().Session().ReceiveEnabled());
    // The receive pane keeps its placeholder even with display off.
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), "ReceiveOn");
    EXPECT_FALSE(frame.IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_FALSE(shell.View().Session().LocalEcho());
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "Rx:HEX");
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), "Tx:OV11");
    EXPECT_EQ(MarkedItem(frame, kRxCommands), ID_RX_HEX);
    EXPECT_EQ(MarkedItem(frame, kTxCommands), ID_TX_OV11);

    // The view really switched: an Orvane 1.1 packet reaches the line, not the text.
    shell.View().CommandLine()->setPlainText("get16 5 3");
    shell.View().OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(line.ReadReply(), std::string("\x45\x02\xFD\x43\x3F\x42", 6));
    // Local echo is off: the report stays empty.
    EXPECT_EQ(shell.View().Session().Report().Text(), "");
}

struct OddProfile {
    const char* name;
    std::vector<std::pair<const char*, QVariant>> values;
    int portIndex;
    const char* baudPane;
    const char* rxPane;
    const char* txPane;
    bool receive;
    bool echo;
};

void PrintTo(const OddProfile& odd, std::ostream* out)
{
    *out << odd.name;
}

class OddProfiles : public testing::TestWithParam<OddProfile> {};

TEST_P(OddProfiles, FallBackValueByValue)
{
    const OddProfile& odd = GetParam();
    StoreProfile(odd.values);
    Shell shell;
    ASSERT_TRUE(shell.started);
    shell.RunPostedCommands();
    CMainFrame& frame = shell.Frame();
    EXPECT_EQ(frame.Setup().PortIndex(), odd.portIndex);
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_BAUD), odd.baudPane);
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), odd.rxPane);
    EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), odd.txPane);
    EXPECT_EQ(frame.IsMenuChecked(ID_RECEIVE_ENABLE), odd.receive);
    EXPECT_EQ(shell.View().Session().ReceiveEnabled(), odd.receive);
    EXPECT_EQ(frame.IsMenuChecked(ID_LOCAL_ECHO), odd.echo);
    EXPECT_EQ(shell.View().Session().LocalEcho(), odd.echo);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, OddProfiles,
    testing::Values(
        OddProfile{"ShortName", {{"comport", "COM7"}}, 6, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"DeviceFormOfCom12", {{"comport", "\\\\.\\COM12"}}, 11, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"NoNumber", {{"comport", "COMX"}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"PortZero", {{"comport", "COM0"}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"EmptyName", {{"comport", ""}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"NineteenCharacters", {{"comport", "our bench rig COM12"}}, 11, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        // Longer than the name buffer: the default, not a cut-off piece of it.
        OddProfile{"TwentyCharactersFallBackToComOne", {{"comport", "our bench rig  COM12"}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"RateBetweenEntries", {{"comspeed", 10000}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"RateNearer1200", {{"comspeed", 4800}}, 0, "1200 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"RateEquallyNear", {{"comspeed", 750}}, 0, "300 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"NegativeRate", {{"comspeed", -5}}, 0, "300 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"RateNotANumber", {{"comspeed", "12abc"}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"ConversionsOutOfRange", {{"receiveXrate", 7}, {"sendXrate", -1}}, 0, "9600 bps", "Rx:Raw", "Tx:Raw", true, true},
        OddProfile{"ConversionsInRange", {{"receiveXrate", 2}, {"sendXrate", 1}}, 0, "9600 bps", "Rx:Bin", "Tx:HEX", true, true},
        OddProfile{"SwitchesAnyNonZero", {{"receiveenable", 5}, {"localecho", -1}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true},
        OddProfile{"SwitchesOff", {{"receiveenable", 0}, {"localecho", 0}}, 0, "9600 bps", "Rx:OV", "Tx:OV", false, false},
        OddProfile{"SwitchNotANumber", {{"localecho", "off"}}, 0, "9600 bps", "Rx:OV", "Tx:OV", true, true}),
    [](const testing::TestParamInfo<OddProfile>& info) { return std::string(info.param.name); });

TEST(Startup, AWrongStoredPortStillStartsAndSaysWhy)
{
    StoreProfile({{"comport", "COM3"}});
    Shell shell(Language::English, {"COM3=/dev/tamsel-test-no-device"});
    ASSERT_TRUE(shell.started);
    EXPECT_EQ(shell.Frame().PaneText(ID_INDICATOR_PORT), "\\\\.\\COM3");
    EXPECT_EQ(shell.View().Session().GetLineState(), LineState::kNoPort);
    EXPECT_EQ(shell.Frame().PaneText(ID_INDICATOR_LINE), "No port");
    ASSERT_EQ(shell.boxes.calls.size(), 1u);
    EXPECT_EQ(shell.boxes.calls[0].caption, "Tamsel::ComOpen");
}

TEST(Startup, SavingStraightAfterStartUpWritesTheNormalForms)
{
    StoreProfile({{"comport", "COM7"}, {"comspeed", 4800}, {"receiveenable", 5},
                  {"receiveXrate", 9}});
    Shell shell;
    ASSERT_TRUE(shell.started);
    shell.RunPostedCommands();
    shell.Frame().OnCommand(ID_SAVE_SETTING);

    EXPECT_EQ(StoredValue("comport").toString(), "\\\\.\\COM7");
    EXPECT_EQ(StoredValue("comspeed").toString(), "1200");
    EXPECT_EQ(StoredValue("receiveenable").toString(), "1");
    EXPECT_EQ(StoredValue("localecho").toString(), "1");
    EXPECT_EQ(StoredValue("receiveXrate").toString(), "0");
    EXPECT_EQ(StoredValue("sendXrate").toString(), "3");
}

TEST(Startup, SavedSettingsComeBackAtTheNextStart)
{
    StoreProfile({});
    {
        Shell first;
        ASSERT_TRUE(first.started);
        first.RunPostedCommands();
        first.Frame().OnCommand(ID_RX_BIN);
        first.Frame().OnCommand(ID_TX_HEX);
        first.Frame().OnCommand(ID_LOCAL_ECHO);
        first.Frame().OnCommand(ID_SAVE_SETTING);
    }
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf";
    EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();

    Shell second;
    ASSERT_TRUE(second.started);
    second.RunPostedCommands();
    EXPECT_EQ(second.Frame().PaneText(ID_INDICATOR_RXCONV), "Rx:Bin");
    EXPECT_EQ(second.Frame().PaneText(ID_INDICATOR_TXCONV), "Tx:HEX");
    EXPECT_FALSE(second.Frame().IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_TRUE(second.Frame().IsMenuChecked(ID_RECEIVE_ENABLE));
}

// A rate beyond the table is kept in a section of its own beside the
// profile's rate key, which keeps the table rate nearest to it.
struct OtherRateProfile {
    const char* name;
    int comspeed;
    QVariant otherRate;
    const char* baudPane;
    int lineRate;
};

void PrintTo(const OtherRateProfile& c, std::ostream* out)
{
    *out << c.name;
}

class OtherRateProfiles : public testing::TestWithParam<OtherRateProfile> {};

TEST_P(OtherRateProfiles, OpenTheLineAtTheRateTheyMean)
{
    const OtherRateProfile& c = GetParam();
    StoreProfile({{"comport", "COM7"}, {"comspeed", c.comspeed}});
    Profile().setValue(QStringLiteral("line/rate"), c.otherRate);
    PseudoTerminal line;
    Shell shell(Language::English, {"COM7=" + line.Path()});
    ASSERT_TRUE(shell.started);
    EXPECT_EQ(shell.Frame().PaneText(ID_INDICATOR_BAUD), c.baudPane);
    int output = 0;
    int input = 0;
    ASSERT_EQ(ReadLineRates(line.Slave(), output, input), 0);
    EXPECT_EQ(output, c.lineRate);

    shell.Frame().OnCommand(ID_SAVE_SETTING);
    EXPECT_EQ(StoredValue("comspeed").toInt(), shell.Frame().Setup().GetBaudRate());
    EXPECT_EQ(Profile().value(QStringLiteral("line/rate")).toInt(),
              c.lineRate == shell.Frame().Setup().GetBaudRate() ? 0 : c.lineRate);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, OtherRateProfiles,
    testing::Values(OtherRateProfile{"BesideItsNearestEntry", 115200, 250000, "250000 bps", 250000},
                    OtherRateProfile{"BelowTheTable", 300, 50, "50 bps", 50},
                    // The rate key was changed since: it wins.
                    OtherRateProfile{"RateKeyChangedSince", 9600, 250000, "9600 bps", 9600},
                    OtherRateProfile{"ATableRate", 9600, 9600, "9600 bps", 9600},
                    OtherRateProfile{"OutOfRange", 115200, 5000000, "115200 bps", 115200},
                    OtherRateProfile{"NotANumber", 115200, "fast", "115200 bps", 115200}),
    [](const testing::TestParamInfo<OtherRateProfile>& info) { return std::string(info.param.name); });

TEST(Startup, NothingIsSavedAtTheEnd)
{
    StoreProfile({});
    {
        Shell shell;
        ASSERT_TRUE(shell.started);
        shell.RunPostedCommands();
        shell.Frame().OnCommand(ID_TX_RAW);
        shell.Frame().OnCommand(ID_APP_EXIT);
    }
    EXPECT_FALSE(StoredValue("sendXrate").isValid());
}

TEST(Startup, AFrameThatCannotBeCreatedEndsWithAMessage)
{
    // A string table without the status-bar placeholders.
    constexpr StringEntry kTitleOnly[] = {{AFX_IDS_APP_TITLE, "TamSel Serial port Monitor 1.1 (OV1.1)"}};
    const StringTable broken{kTitleOnly};
    MessageBoxRecorder boxes;
    CTamselApp app(Language::English, broken);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.MainFrame(), nullptr);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Tamsel cannot start: its main window could not be created.");
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::InitInstance");
    EXPECT_EQ(boxes.calls[0].type, kMbOk | kMbIconExclamation);
    EXPECT_EQ(boxes.calls[0].detail, "A status-bar placeholder is missing from the string table.");
}

} // namespace
