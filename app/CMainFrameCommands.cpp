#include "app/CMainFrame.h"

#include "app/CStatusBar.h"
#include "conversions/ConversionRegistry.h"
#include "profile/CommandSwitches.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <QAction>
#include <QActionGroup>

namespace {

// How long Send break holds the line in the break condition.
constexpr int kMenuBreakMs = 250;

} // namespace

// The frame's commands, one entry each: what runs, and the mark the menu
// item carries (a check mark, or a radio mark within its group).
void CMainFrame::EnterCommands()
{
    auto* receiveGroup = new QActionGroup(this);
    auto* transmitGroup = new QActionGroup(this);
    for (int index = 0; index < kConversionCount; ++index) {
        Enter(ConversionAt(index).rxCommand, [this, index] { ChooseConversion(true, index); }, receiveGroup);
        Enter(ConversionAt(index).txCommand, [this, index] { ChooseConversion(false, index); }, transmitGroup);
    }
    auto* lineEndGroup = new QActionGroup(this);
    for (int index = 0; index < kLineEndCount; ++index)
        Enter(LineEndCommand(index), [this, index] { ChooseLineEnd(index); }, lineEndGroup);

    // The menu switches and what each changes; their marks and profile keys come from their table.
    m_switchEffects = {
        {ID_RECEIVE_ENABLE, [this](bool on, bool chosen) { ShowReceiveEnable(on, chosen); }},
        {ID_LOCAL_ECHO, [this](bool on, bool) { m_view->Session().SetLocalEcho(on); }},
        {ID_VIEW_TIME_STAMPS, [this](bool on, bool) { m_view->Session().SetTimeStamps(on); }},
    };
    for (const CommandSwitch& entry : CommandSwitches())
        EnterCheck(entry.command, [this, &entry] { OnSwitch(entry); });

    Enter(ID_COMM_SETTING, [this] { OnCommSetting(); });
    Enter(ID_SAVE_SETTING, [this] { SaveSettings(); });
    Enter(ID_VIEW_REPORT_SIZE, [this] { OnReportSize(); });
    Enter(ID_VIEW_ZOOM_IN, [this] { Zoom(1); });
    Enter(ID_VIEW_ZOOM_OUT, [this] { Zoom(-1); });
    Enter(ID_VIEW_ZOOM_RESET, [this] { Zoom(0); });
    EnterCheck(ID_VIEW_BUS, [this] { OnBusView(); });
    Enter(ID_QUICK_SEND_SETUP, [this] { OnQuickSendSetup(); });

    Enter(ID_FILE_SEND, [this] { OnFileSend(); });
    Enter(ID_FILE_SEND_PACING, [this] { OnFileSendPacing(); });
    Enter(ID_LOG_START, [this] { OnLogStart(); });
    Enter(ID_LOG_STOP, [this] { m_view->Session().Recorder().StopLog(); });
    EnterCheck(ID_LOG_STAMPS, [this] { OnLogStamps(); });
    Enter(ID_CAPTURE_START, [this] { OnCaptureStart(); });
    Enter(ID_CAPTURE_STOP, [this] { m_view->Session().Recorder().StopCapture(); });
    Enter(ID_REPORT_SAVE_AS, [this] { OnSaveReportAs(); });
    Enter(ID_REPORT_SELECT_ALL, [this] { OnSelectAll(); });
    Enter(ID_REPORT_COPY_ALL, [this] { OnCopyAll(); });

    EnterCheck(ID_LINE_DTR, [this] { SetLineSignal(LineSignal::kDtr, !IsMenuChecked(ID_LINE_DTR)); });
    EnterCheck(ID_LINE_RTS, [this] { SetLineSignal(LineSignal::kRts, !IsMenuChecked(ID_LINE_RTS)); });
    Enter(ID_LINE_PULSE, [this] { PulseReset({}); });
    Enter(ID_LINE_PULSE_SETTINGS, [this] { OnPulseSettings(); });
    Enter(ID_LINE_BREAK, [this] { SendBreak(kMenuBreakMs, {}); });

    // The framework's own.
    Enter(ID_APP_EXIT, [this] { close(); });
    EnterCheck(ID_VIEW_STATUS_BAR, [this] { OnStatusBar(); });
}

void CMainFrame::Enter(int id, std::function<void()> run, QActionGroup* group)
{
    m_commands[id] = std::move(run);
    if (QAction* action = MenuItem(id); action && group) {
        action->setCheckable(true);
        action->setActionGroup(group);
    }
}

void CMainFrame::EnterCheck(int id, std::function<void()> run)
{
    m_commands[id] = std::move(run);
    if (QAction* action = MenuItem(id))
        action->setCheckable(true);
}
