#pragma once

#include "app/CSettingsStore.h"
#include "app/CSetup.h"
#include "filesend/SendPacing.h"
#include "resources/Language.h"
#include "resources/StringTable.h"
#include "serial/SignalSequence.h"
#include "view/CChildView.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BusModel;
struct CommandSwitch;
class BusViewWindow;
class CStatusBar;

class QAction;
class QActionGroup;
class QLabel;

// The main frame: menu bar, accelerators, status bar and the terminal view.
// It keeps no flags of its own: the menu's check marks are the receive-display
// and local-echo state and its radio marks the selected conversions; the
// view's flags and converters follow them, and saving the settings reads them
// back. The setup dialog object holds the current port and rate for the run.
//
// Commands from menus, accelerators and posted events all go through
// OnCommand: the view is offered each first, then the frame's command table
// (which holds the framework's own too: Quit, status-bar toggle), then the
// application's.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using CommandHandler = std::function<bool(int id)>;

    CMainFrame(Language language, const StringTable& strings, CommandHandler applicationCommands);
    ~CMainFrame() override;

    // Builds menu, view, status bar and panes, then loads the settings. False
    // when a part cannot be made; CreateFailure() then says which.
    bool Create();
    const char* CreateFailure() const { return m_createFailure; }

    // Command-line assignments "COMn=path" that win over the stored port map;
    // set before Create.
    void SetPortOverrides(std::vector<std::string> overrides) { m_portOverrides = std::move(overrides); }

    // Chooses the port and rate of the run, and where the port leads, once
    // the profile's choice is in the setup object and before the port is
    // first opened; the command line's choices win that way without a
    // needless open of the profile's port. Set before Create.
    using PortChoice = std::function<void(CSetup& setup, PortMap& ports)>;
    void SetPortChoice(PortChoice choice) { m_portChoice = std::move(choice); }

    // A replay opens no port; set before Create.
    void SetOpensPort(bool opens) { m_opensPort = opens; }

    // Whether the bus view's model records from Create on (a run without a
    // window has no bus view to show it); set before Create.
    void SetBusRecording(bool on) { m_busRecording = on; }

    // Levels of DTR and RTS the port takes at every open (none given: as the
    // line has them); set before Create.
    void SetStartSignals(std::optional<bool> dtr, std::optional<bool> rts);

    // The waits of the view's serial line; set before Create.
    void SetLineTimings(const LineTimings& timings) { m_lineTimings = timings; }

    bool OnCommand(int id);
    // Queues a command to run when the event loop gets to it.
    void PostCommand(int id);

    void LoadSettings();
    void SaveSettings();
    // Fills the view's port map from the settings section "ports" and the
    // command line.
    void LoadPortMap();

    // What follows the setup dialog: shows the setup object's port and rate
    // and has the view reopen the port with them.
    void ApplySetup();
    // The device chosen in the setup dialog becomes where its port leads:
    // in the profile's section "ports" (so it lasts) and in the view's map
    // for this run, over a --map of the same port. False when none was chosen.
    bool MapChosenDevice();
    // Starts a raw capture of the port now chosen into path. 0, or -1 after its box.
    int StartCapture(const std::string& path);
    // Writes the report as it stands to path. 0, or -1 after its box.
    int SaveReport(const std::string& path);

    // The pauses of every file send, from the profile and the pacing dialog.
    const SendPacing& Pacing() const { return m_pacing; }
    // Line menu: a signal set and its mark brought up to date (0, or -1
    // after its box); a break of ms, and the reset sequence. done runs once
    // the break or the sequence has ended; false when one still runs.
    int SetLineSignal(LineSignal signal, bool on);
    bool SendBreak(int ms, std::function<void()> done);
    bool PulseReset(std::function<void()> done);
    std::string ResetSequence() const;

    CChildView* View() const { return m_view; }
    CStatusBar* StatusBar() const { return m_statusBar; }
    CSetup& Setup() { return m_setup; }
    QAction* MenuItem(int id) const;
    bool IsMenuChecked(int id) const;
    QString PaneText(int id) const;
    // The bus view window once the bus view command has made it; the model
    // behind it hears the decoder from Create on.
    BusViewWindow* BusView() const { return m_busView; }
    BusModel* Bus() const { return m_busModel.get(); }

protected:
    bool event(QEvent* event) override;

private:
    void BuildMenu();
    // The frame's command table: each command entered once with what it runs
    // and, when it has one, its menu mark (a radio mark within group).
    void EnterCommands();
    void Enter(int id, std::function<void()> run, QActionGroup* group = nullptr);
    void EnterCheck(int id, std::function<void()> run);
    bool CreateStatusBar();
    void FitPanesToTheirTexts(CStatusBar& bar);
    void ChooseConversion(bool receive, int index);
    // A menu switch chosen: its mark flips and its effect follows; the profile
    // keeps it at once when the switch says so.
    void OnSwitch(const CommandSwitch& entry);
    // chosen: by the user or a directive, not restored from the profile.
    void ShowSwitch(int command, bool on, bool chosen);
    void ShowReceiveEnable(bool on, bool chosen);
    void OnReportSize();
    void ChooseLineEnd(int index);
    void ShowLineEnd(int index);
    // steps rungs of the zoom ladder; 0 for the usual size.
    void Zoom(int steps);
    void OnQuickSendSetup();
    void LoadQuickSend();
    // File menu: sending a file and its pacing.
    void OnFileSend();
    void OnFileSendPacing();
    void LoadPacing();
    void OnCommSetting();
    void OnStatusBar();
    void OnBusView();
    void SaveBusViewState();
    // File menu: the session log, the raw capture and the report.
    void OnLogStart();
    void OnLogStamps();
    void OnCaptureStart();
    void OnSaveReportAs();
    void OnSelectAll();
    void OnCopyAll();
    void ShowRecording();
    void OnPulseSettings();
    void LoadLineSignals();
    // The DTR and RTS marks: as the open line has them, else as wanted.
    void ShowLineSignals();
    // The modem-input pane: CTS, DSR, DCD and RI of the open line; hidden
    // while the line has none (ModemListener's bits).
    void ShowModemInputs(int bits);
    void CheckMenuItem(int id, bool checked);
    int MarkedConversion(bool receive) const;
    void SetPaneText(int id, const QString& text);
    void ShowPortSettings();
    void RefreshLockKeys();
    void ShowLineState(int state);
    QString String(int id) const;

    Language m_language;
    const StringTable& m_strings;
    CommandHandler m_applicationCommands;
    CStatusBar* m_statusBar = nullptr;
    CChildView* m_view = nullptr;
    CSetup m_setup;
    CSettingsStore m_store;
    std::map<int, QAction*> m_menuItems;
    std::map<int, std::function<void()>> m_commands;
    // What each menu switch changes, by its command.
    std::map<int, std::function<void(bool on, bool chosen)>> m_switchEffects;
    QTimer m_lockKeyTimer;
    std::vector<std::string> m_portOverrides;
    PortChoice m_portChoice;
    bool m_opensPort = true;
    LineTimings m_lineTimings;
    const char* m_createFailure = nullptr;
    std::unique_ptr<BusModel> m_busModel;
    BusViewWindow* m_busView = nullptr;
    bool m_busRecording = true;
    QLabel* m_recordingPane = nullptr;  // shown only while a log or capture runs
    QLabel* m_modemPane = nullptr;      // shown only while the line has modem inputs
    SendPacing m_pacing;
    std::optional<bool> m_startDtr;
    std::optional<bool> m_startRts;
    std::vector<SignalStep> m_resetSteps;
};
