#include "app/CMainFrame.h"
#include "app/CStatusBar.h"
#include "app/CSettingsStore.h"
#include "app/CTamselApp.h"
#include "app/DemoSession.h"
#include "app/HeadlessSession.h"
#include "app/MenuChoices.h"
#include "app/QtMessageBox.h"
#include "app/ReplaySession.h"
#include "app/TerminationSignals.h"
#include "app/UserLanguage.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/ListPorts.h"
#include "app/cli/StderrMessageBox.h"
#include "history/CommandHistory.h"
#include "view/CChildView.h"
#include "xrate/MessageBox.h"
#include "xrate/UserInterfaceThread.h"

#include <QApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A closed standard stream would be taken by the next file opened (a port,
// the demo's terminal) and then read or written as if it were that stream.
void KeepStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) < 0)
            open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

// A headless run starts reading at once: the start-up wait is there for a
// window to come up, and a script would otherwise wait for its first answer.
LineTimings HeadlessTimings()
{
    LineTimings timings;
    timings.pump.startWaitMs = 0;
    return timings;
}

// Qt's own notes (the offscreen platform's, the runtime folder's) would mix
// with the message-box lines that a script reads; only its errors get through.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// An existing profile file must be one that can be read; a missing one is
// made by the save command.
bool ProfileFileUsable(const std::string& path)
{
    const QFileInfo file(QString::fromLocal8Bit(path.c_str()));
    return !file.exists() || (file.isFile() && file.isReadable());
}

// The last of the log and the capture reaches the disk before the program
// ends, and a write that fails then is still said.
int FinishRecording(SessionRecorder& recorder, int status)
{
    recorder.StopLog();
    recorder.StopCapture();
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    KeepStandardStreams();
    CommandLineOptions options;
    std::string error;
    if (ParseCommandLine(argc, argv, options, error) != 0) {
        std::fprintf(stderr, "tamsel: %s\nTry 'tamsel --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(TamselUsage(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::printf("tamsel %s\n", TamselVersion());
        return kExitOk;
    }
    if (options.listPorts)
        return ListPorts(options.json, STDOUT_FILENO, STDERR_FILENO);
    if (!options.profile.empty() && !ProfileFileUsable(options.profile)) {
        std::fprintf(stderr, "tamsel: --profile: '%s' is not a settings file that can be read\n",
                     options.profile.c_str());
        return kExitUsage;
    }
    if (options.headless) {
        // The same widgets and code paths, drawn nowhere.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // A reader of the report that goes away shows as a failed write.
        std::signal(SIGPIPE, SIG_IGN);
        qInstallMessageHandler(QtErrorsOnly);
    } else if (!HasDisplay()) {
        std::fprintf(stderr, "tamsel: there is no display to show the window on; "
                             "tamsel --headless runs without one (see tamsel --help)\n");
        return kExitFailure;
    }

    // Qt sees no arguments: every one of them is Tamsel's.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    MarkUserInterfaceThread();
    if (!options.profile.empty())
        CSettingsStore::UseFile(QString::fromLocal8Bit(options.profile.c_str()));

    // The bus outlives the frame, so the view's port never sees it go.
    DemoSession demo(!options.headless);
    CTamselApp tamsel(UserLanguage());
    if (options.headless) {
        InstallStderrMessageBox(STDERR_FILENO);
    } else {
        // A box the view raises belongs to the frame; the others are ownerless.
        InstallQtMessageBox([&tamsel](void* owner) -> QWidget* {
            CMainFrame* frame = tamsel.MainFrame();
            return frame && owner == static_cast<void*>(static_cast<QWidget*>(frame->View())) ? frame
                                                                                               : nullptr;
        });
    }

    if (options.demo && demo.Start(error) != 0) {
        ShowMessageBox(nullptr, ("The simulated Orvane bus cannot start: " + error).c_str(),
                       "Tamsel demo", kMbOk | kMbIconExclamation);
        return kExitFailure;
    }

    tamsel.SetPortOverrides(options.portMap);
    tamsel.SetBeforeCreate([&options, &demo](CMainFrame& frame) {
        if (options.headless) {
            frame.SetLineTimings(HeadlessTimings());
            frame.SetBusRecording(false);
        }
        frame.SetOpensPort(options.replayPath.empty());
        frame.SetStartSignals(options.dtr, options.rts);
        frame.SetPortChoice([&options, &demo](CSetup& setup, PortMap& ports) {
            ChoosePortAndRate(setup, options.port, options.baud);
            if (options.demo)
                demo.MapPort(setup, ports);
        });
    });
    if (!tamsel.InitInstance())
        return kExitFailure;
    CMainFrame& frame = *tamsel.MainFrame();
    SessionRecorder& recorder = frame.View()->Session().Recorder();
    EndRunOnTerminationSignals([&recorder] {
        recorder.StopLog();
        recorder.StopCapture();
    });
    // Their boxes have been shown; a headless run has no one to go on for.
    if (!options.logPath.empty() &&
        recorder.StartLog(options.logPath, options.logNew, options.logStamps) != 0 && options.headless)
        return kExitFailure;
    if (!options.capturePath.empty() && frame.StartCapture(options.capturePath) != 0 && options.headless)
        return kExitFailure;

    std::unique_ptr<ReplaySession> replay;
    if (!options.replayPath.empty()) {
        replay = std::make_unique<ReplaySession>(*frame.View(), options.replaySpeed);
        if (replay->Load(options.replayPath, error) != 0) {
            ShowMessageBox(nullptr, error.c_str(), "Tamsel::Replay", kMbOk | kMbIconExclamation);
            return kExitFailure;
        }
    }

    if (!options.headless) {
        // A script's commands are not the user's: only the window keeps a history file.
        frame.View()->UseHistoryFile(DefaultHistoryPath());
        ApplyMenuChoices(options, frame);
        if (options.demo)
            demo.Introduce(frame);
        if (replay) {
            QObject::connect(replay.get(), &ReplaySession::progressed, &frame, [&frame, &replay] {
                frame.StatusBar()->SetPaneText(
                    0, QStringLiteral("Replay: %1 of %2 blocks").arg(replay->Done()).arg(replay->Total()));
            });
            replay->Start();
        }
        return FinishRecording(recorder, QApplication::exec());
    }

    // Its message has been written already.
    if (!replay && frame.View()->Session().GetLineState() == LineState::kNoPort)
        return kExitFailure;
    HeadlessSession session(frame, options.lingerMs, STDIN_FILENO, STDOUT_FILENO);
    ApplyMenuChoices(options, frame);
    if (options.demo)
        demo.Introduce(frame);
    if (replay) {
        session.HoldWhile([&replay] { return replay->Running(); });
        replay->Start();
    }
    session.Start();
    return FinishRecording(recorder, QApplication::exec());
}
