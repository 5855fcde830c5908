// The frame at work: accelerators with the focus in the command line, the
// toggles and conversion commands, port setup and the reopen that follows,
// the status bar, and menus, prompts and panes in both localisations.
#include "ModalDriver.h"
#include "support/PseudoTerminal.h"
#include "ShellFixture.h"

#include "app/DialogBuilder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using testsupport::PseudoTerminal;

namespace {

class FrameTest : public FrameOnLine {
protected:
    void SetUp() override
    {
        StoreProfile({{"comport", "COM2"}, {"receiveXrate", 0}, {"sendXrate", 0}});
        Start();
    }

    const std::string& Report() { return View().Session().Report().Text(); }
};

TEST_F(FrameTest, CtrlCCopiesTheReportSelectionWithTheFocusInTheCommandLine)
{
    View().Session().AppendReport("first line\r\nsecond\r\n");
    // The report window catches up with the report at its refresh interval.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !View().ReportWindow()->toPlainText().isEmpty(); }, 2000));
    View().ReportWindow()->selectAll();
    CommandLine()->setPlainText("typed");
    CommandLine()->selectAll();
    QApplication::clipboard()->setText("before");

    QTest::keyClick(CommandLine(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString().substr(0, 10), "first line");

    QApplication::clipboard()->setText("before");
    QTest::keyClick(CommandLine(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_NE(QApplication::clipboard()->text(), "before");
}

TEST_F(FrameTest, CtrlVAndShiftInsertPasteIntoTheCommandLineWhereverTheFocusIs)
{
    QApplication::clipboard()->setText("abc");
    View().ReportWindow()->setFocus();
    QTest::keyClick(View().ReportWindow(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CommandLine()->toPlainText(), "abc");
    QTest::keyClick(CommandLine(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(CommandLine()->toPlainText(), "abcabc");
}

TEST_F(FrameTest, PasteKeysWithAnEmptyClipboardLeaveTheCommandLine)
{
    CommandLine()->setPlainText("typed");
    QApplication::clipboard()->setMimeData(new QMimeData);
    View().ReportWindow()->setFocus();
    QTest::keyClick(View().ReportWindow(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(CommandLine(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_TRUE(Frame().OnCommand(ID_EDIT_PASTE));
    EXPECT_EQ(CommandLine()->toPlainText(), "typed");
}

TEST_F(FrameTest, CutUndoAndPaneKeysChangeNothing)
{
    CommandLine()->setPlainText("keep me");
    CommandLine()->selectAll();
    const std::string before = Report();
    const QString clipboard = QApplication::clipboard()->text();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_X, Qt::ControlModifier},     {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ShiftModifier},  {Qt::Key_Backspace, Qt::AltModifier},
        {Qt::Key_F6, Qt::NoModifier},         {Qt::Key_F6, Qt::ShiftModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(CommandLine(), key, modifiers);
        EXPECT_EQ(CommandLine()->toPlainText(), "keep me") << key;
    }
    EXPECT_EQ(Report(), before);
    EXPECT_EQ(QApplication::clipboard()->text(), clipboard);
}

TEST_F(FrameTest, CtrlRAddsALineEndAndCtrlSTogglesDisplay)
{
    View().Session().AppendReport("x");
    QTest::keyClick(CommandLine(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Report(), "x\r\n");

    for (const bool on : {false, true, false}) {
        QTest::keyClick(CommandLine(), Qt::Key_S, Qt::ControlModifier);
        // The mark, the view's flag and the pane agree after every use.
        EXPECT_EQ(Frame().IsMenuChecked(ID_RECEIVE_ENABLE), on);
        EXPECT_EQ(View().Session().ReceiveEnabled(), on);
        EXPECT_EQ(Frame().PaneText(ID_INDICATOR_RECEIVE), on ? "Receiving" : "Rx suspended");
    }
}

TEST_F(FrameTest, EnterSendsTheCommandLine)
{
    QTest::keyClicks(CommandLine(), "hello");
    QTest::keyClick(CommandLine(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(line.ReadReply().substr(0, 5), "hello");
}

TEST_F(FrameTest, MenuItemsRunTheirCommandsWithTheirMarksAsTheyWere)
{
    // Chosen from the menu, a checkable item's own flip must not count twice.
    Frame().MenuItem(ID_LOCAL_ECHO)->trigger();
    EXPECT_FALSE(Frame().IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_FALSE(View().Session().LocalEcho());
    Frame().MenuItem(ID_LOCAL_ECHO)->trigger();
    EXPECT_TRUE(Frame().IsMenuChecked(ID_LOCAL_ECHO));
    EXPECT_TRUE(View().Session().LocalEcho());

    Frame().MenuItem(ID_RECEIVE_ENABLE)->trigger();
    EXPECT_FALSE(Frame().IsMenuChecked(ID_RECEIVE_ENABLE));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_RECEIVE), "Rx suspended");

    Frame().MenuItem(ID_RX_OV11)->trigger();
    EXPECT_TRUE(Frame().IsMenuChecked(ID_RX_OV11));
    EXPECT_FALSE(Frame().IsMenuChecked(ID_RX_RAW));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_RXCONV), "Rx:OV11");
}

TEST_F(FrameTest, ChoosingEachConversionMarksItAndLabelsItsPane)
{
    const std::tuple<int, int, const char*> cases[] = {
        {ID_RX_RAW, ID_INDICATOR_RXCONV, "Rx:Raw"}, {ID_RX_HEX, ID_INDICATOR_RXCONV, "Rx:HEX"},
        {ID_RX_BIN, ID_INDICATOR_RXCONV, "Rx:Bin"}, {ID_RX_OV, ID_INDICATOR_RXCONV, "Rx:OV"},
        {ID_RX_OV11, ID_INDICATOR_RXCONV, "Rx:OV11"}, {ID_TX_RAW, ID_INDICATOR_TXCONV, "Tx:Raw"},
        {ID_TX_HEX, ID_INDICATOR_TXCONV, "Tx:HEX"}, {ID_TX_BIN, ID_INDICATOR_TXCONV, "Tx:Bin"},
        {ID_TX_OV, ID_INDICATOR_TXCONV, "Tx:OV"}, {ID_TX_OV11, ID_INDICATOR_TXCONV, "Tx:OV11"},
    };
    for (const auto& [command, pane, label] : cases) {
        EXPECT_TRUE(Frame().OnCommand(command));
        EXPECT_TRUE(Frame().IsMenuChecked(command));
        EXPECT_EQ(Frame().PaneText(pane), label);
    }
}

TEST_F(FrameTest, ChoosingTheSameConversionAgainDropsAHalfReceivedPacket)
{
    // An Orvane 1.1 packet arriving in two chunks.
    const unsigned char head[] = {0x45, 0x02, 0xFD, 0};
    const unsigned char tail[] = {0x43, 0x3F, 0x42, 0};
    Frame().OnCommand(ID_RX_OV11);
    View().Session().ShowReceived(head, 3);
    View().Session().ShowReceived(tail, 3);
    const std::string whole = Report();
    ASSERT_FALSE(whole.empty());

    View().OnCommand(ID_CLEAR_REPORT);
    View().Session().ShowReceived(head, 3);
    Frame().OnCommand(ID_RX_OV11);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_RXCONV), "Rx:OV11");
    View().Session().ShowReceived(tail, 3);
    EXPECT_EQ(Report().find(whole), std::string::npos) << Report();
}

TEST_F(FrameTest, StatusBarToggleKeepsWritingPanesWhileHidden)
{
    EXPECT_TRUE(Frame().IsMenuChecked(ID_VIEW_STATUS_BAR));
    Frame().OnCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(Frame().StatusBar()->isHidden());
    EXPECT_FALSE(Frame().IsMenuChecked(ID_VIEW_STATUS_BAR));
    Frame().OnCommand(ID_RECEIVE_ENABLE);
    Frame().OnCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Frame().StatusBar()->isHidden());
    EXPECT_TRUE(Frame().IsMenuChecked(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_RECEIVE), "Rx suspended");
}

TEST_F(FrameTest, QuitClosesTheWindow)
{
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().OnCommand(ID_APP_EXIT));
    EXPECT_FALSE(Frame().isVisible());
}

TEST_F(FrameTest, CommandsNobodyHandlesAreNotTaken)
{
    for (const int id : {ID_EDIT_CUT, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE, 12345})
        EXPECT_FALSE(Frame().OnCommand(id)) << id;
}

TEST_F(FrameTest, AboutBoxShowsProductAndVersion)
{
    QString title;
    QStringList lines;
    WhenModal([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            lines << label->text();
        qobject_cast<QPushButton*>(FindDialogControl(dialog, IDOK))->click();
    });
    EXPECT_TRUE(Frame().OnCommand(ID_APP_ABOUT));
    EXPECT_EQ(title, "About Tamsel");
    EXPECT_TRUE(lines.contains("Serial Line Monitor"));
    EXPECT_TRUE(lines.contains("Tamsel Version 1.1.2 , 100624"));
}

// Port setup and the reopen that follows.

QComboBox* List(QDialog& dialog, int id)
{
    return qobject_cast<QComboBox*>(FindDialogControl(dialog, id));
}

void Click(QDialog& dialog, int id)
{
    qobject_cast<QPushButton*>(FindDialogControl(dialog, id))->click();
}

TEST_F(FrameTest, SetupOkReopensOnTheChosenPortAndRate)
{
    PseudoTerminal other;
    View().Session().Ports().SetOverride("COM5=" + other.Path());
    WhenModal([&](QDialog& dialog) {
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(4);
        List(dialog, IDC_BAUD_LIST)->setCurrentIndex(5);
        Click(dialog, IDOK);
    });
    Frame().OnCommand(ID_COMM_SETTING);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_PORT), "\\\\.\\COM5");
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_BAUD), "57600 bps");
    EXPECT_EQ(View().Session().GetLineState(), LineState::kOpen);

    CommandLine()->setPlainText("to five");
    Frame().OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(other.ReadReply().substr(0, 7), "to five");
    EXPECT_EQ(line.ReadReply(50), "");
}

TEST_F(FrameTest, SetupCancelRewritesThePanesAndLeavesThePortAlone)
{
    Frame().OnCommand(ID_RECEIVE_ENABLE);  // some pane text other than the port's
    WhenModal([&](QDialog& dialog) {
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(9);
        Click(dialog, IDCANCEL);
    });
    Frame().OnCommand(ID_COMM_SETTING);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_PORT), "\\\\.\\COM2");
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_BAUD), "9600 bps");
    EXPECT_EQ(Frame().Setup().PortIndex(), 1);
    EXPECT_TRUE(shell->boxes.calls.empty());

    CommandLine()->setPlainText("still here");
    Frame().OnCommand(ID_SEND_COMMAND);
    EXPECT_EQ(line.ReadReply().substr(0, 10), "still here");
}

TEST_F(FrameTest, SetupOkWithNoPortSelectedTriesComZero)
{
    StoreProfile({});
    Frame().Setup().SetPortFromName("COM25");
    WhenModal([&](QDialog& dialog) { Click(dialog, IDOK); });
    Frame().OnCommand(ID_COMM_SETTING);
    EXPECT_EQ(Frame().Setup().PortIndex(), -1);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_PORT), "\\\\.\\COM0");
    ASSERT_EQ(shell->boxes.calls.size(), 1u);
    EXPECT_EQ(shell->boxes.calls[0].caption, "Tamsel::ComOpen");
    EXPECT_EQ(View().Session().GetLineState(), LineState::kNoPort);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_LINE), "No port");

    Frame().OnCommand(ID_SAVE_SETTING);
    EXPECT_EQ(StoredValue("comport").toString(), "\\\\.\\COM0");
}

// Prompts: the message pane shows a highlighted item's prompt, "Ready" otherwise.

// Opens a menu from the menu bar, highlights an item, reads the message pane,
// and closes the menu again; returns the pane's texts during and after.
std::pair<QString, QString> PromptWhileHighlighting(CMainFrame& frame, int menuIndex, int id)
{
    QAction* title = frame.menuBar()->actions().at(menuIndex);
    frame.menuBar()->setActiveAction(title);
    title->menu()->setActiveAction(frame.MenuItem(id));
    const QString during = frame.PaneText(ID_SEPARATOR);
    title->menu()->hide();
    frame.menuBar()->setActiveAction(nullptr);
    QCoreApplication::processEvents();
    return {during, frame.PaneText(ID_SEPARATOR)};
}

TEST_F(FrameTest, HighlightedItemsShowTheirPromptsThenReady)
{
    EXPECT_EQ(PromptWhileHighlighting(Frame(), 0, ID_COMM_SETTING),
              std::make_pair(QString("Port and Baud rate setting"), QString("Ready")));
    EXPECT_EQ(PromptWhileHighlighting(Frame(), 3, ID_RX_BIN),
              std::make_pair(QString("Display received byte in 2digit hex "), QString("Ready")));
}

// Both localisations.

struct Localisation {
    Language language;
    QStringList menus;
    QString receivePane;
    QString rxConvPane;
    QString txConvPane;
    QString ready;
    QString copyCaption;
    QString copyPrompt;
    QString linePlaceholderOrState;
};

QStringList MenuTitles(CMainFrame& frame)
{
    QStringList titles;
    for (const QAction* action : frame.menuBar()->actions())
        titles << action->text();
    return titles;
}

TEST(Localisations, MenusPanesAndPromptsInEnglishAndJapanese)
{
    const Localisation cases[] = {
        {Language::English,
         {"File(&F)", "Edit(&E)", "View(&V)", "Receive conversion(&R)", "Transmit conversion(&T)", "Line(&L)", "Help(&H)"},
         "ReceiveOn", "TxConv", "RxConv", "Ready", "Copy from Report(&C)\tCtrl+C",
         "Copy from ReportWindow to Clipboard", "No port"},
        {Language::Japanese,
         {"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "受信変換(&R)", "送信変換(&T)", "回線(&L)", "ﾍﾙﾌﾟ(&H)"},
         "受信可能", "受信変換", "送信変換", "ﾚﾃﾞｨ", "Report ｺﾋﾟｰ(&C)\tCtrl+C",
         "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存", "ﾎﾟｰﾄなし"},
    };
    for (const Localisation& expected : cases) {
        StoreProfile({});
        Shell shell(expected.language);
        ASSERT_TRUE(shell.started);
        CMainFrame& frame = shell.Frame();
        EXPECT_EQ(MenuTitles(frame), expected.menus);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), expected.receivePane);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), expected.rxConvPane);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_TXCONV), expected.txConvPane);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_PORT), "\\\\.\\COM1");
        EXPECT_EQ(frame.PaneText(ID_SEPARATOR), expected.ready);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_LINE), expected.linePlaceholderOrState);
        EXPECT_EQ(frame.MenuItem(ID_EDIT_COPY)->text(), expected.copyCaption);
        // The Japanese prompt's second line is not shown.
        EXPECT_EQ(frame.MenuItem(ID_EDIT_COPY)->statusTip(), expected.copyPrompt);
        // No lock-key state offscreen: the four panes are blank.
        for (const int id : {ID_INDICATOR_KANA, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
            EXPECT_EQ(frame.PaneText(id), "") << id;

        // Texts written by the code are the same in both.
        shell.RunPostedCommands();
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_RXCONV), "Rx:OV");
        frame.OnCommand(ID_RECEIVE_ENABLE);
        EXPECT_EQ(frame.PaneText(ID_INDICATOR_RECEIVE), "Rx suspended");
        EXPECT_EQ(frame.MenuItem(ID_RX_OV11)->text(), "Orvane11(1)");
    }
}

TEST(Localisations, EveryMenuItemHasItsCommandIdInBothLanguages)
{
    std::vector<std::vector<int>> ids;
    for (const Language language : {Language::English, Language::Japanese}) {
        StoreProfile({});
        Shell shell(language);
        ASSERT_TRUE(shell.started);
        std::vector<int> found;
        for (const QAction* top : shell.Frame().menuBar()->actions()) {
            for (const QAction* item : top->menu()->actions())
                found.push_back(item->isSeparator() ? 0 : item->data().toInt());
        }
        ids.push_back(found);
    }
    const std::vector<int> expected = {
        ID_COMM_SETTING, ID_SAVE_SETTING, 0, ID_FILE_SEND, ID_FILE_SEND_PACING, 0,
        ID_LOG_START, ID_LOG_STOP, ID_LOG_STAMPS, ID_CAPTURE_START, ID_CAPTURE_STOP,
        ID_REPORT_SAVE_AS, 0, ID_APP_EXIT,
        ID_EDIT_COPY, ID_EDIT_PASTE, ID_INSERT_CR, ID_REPORT_SELECT_ALL, ID_REPORT_COPY_ALL, ID_EDIT_FIND,
        ID_QUICK_SEND_SETUP, 0, ID_CLEAR_REPORT, 0, ID_SEND_COMMAND,
        ID_VIEW_STATUS_BAR, ID_RECEIVE_ENABLE, ID_LOCAL_ECHO, ID_VIEW_TIME_STAMPS, ID_VIEW_REPORT_SIZE,
        ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_RESET, ID_VIEW_BUS,
        ID_RX_RAW, ID_RX_HEX, ID_RX_BIN, ID_RX_OV, ID_RX_OV11,
        ID_TX_RAW, ID_TX_HEX, ID_TX_BIN, ID_TX_OV, ID_TX_OV11, 0,
        ID_LINE_END_CRLF, ID_LINE_END_CR, ID_LINE_END_LF, ID_LINE_END_NONE,
        ID_LINE_DTR, ID_LINE_RTS, 0, ID_LINE_PULSE, ID_LINE_PULSE_SETTINGS, 0, ID_LINE_BREAK,
        ID_APP_ABOUT};
    EXPECT_EQ(ids[0], expected);
    EXPECT_EQ(ids[1], expected);
}

} // namespace
