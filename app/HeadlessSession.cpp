#include "app/HeadlessSession.h"

#include "app/CMainFrame.h"
#include "app/MenuChoices.h"
#include "app/cli/Directive.h"
#include "app/cli/FdOutput.h"
#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "view/ViewEvents.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// How often a quiet wait looks at the received-byte count.
constexpr int kQuietPollMs = 10;
constexpr std::size_t kReadSize = 4096;

} // namespace

HeadlessSession::HeadlessSession(CMainFrame& frame, int lingerMs, int inputFd, int outputFd)
    : m_frame(frame), m_lingerMs(lingerMs), m_inputFd(inputFd), m_outputFd(outputFd)
{
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        m_busy = false;
        RunNext();
    });
    connect(&m_quietPoll, &QTimer::timeout, this, &HeadlessSession::CheckQuiet);
    m_mirror = m_frame.View()->Session().AddReportObserver([this](const char* text) { Mirror(text); });
    connect(m_frame.View(), &CChildView::fileSendEnded, this, &HeadlessSession::FileSendEnded);
}

HeadlessSession::~HeadlessSession()
{
    m_frame.View()->Session().RemoveReportObserver(m_mirror);
}

void HeadlessSession::Start()
{
    QTimer::singleShot(0, this, [this] {
        // An end before the event loop ran (the output gone while start-up
        // wrote the report) takes effect only now.
        if (m_finished) {
            QCoreApplication::exit(m_status);
            return;
        }
        m_input = new QSocketNotifier(m_inputFd, QSocketNotifier::Read, this);
        connect(m_input, &QSocketNotifier::activated, this, &HeadlessSession::OnInputReady);
        RunNext();
    });
}

void HeadlessSession::OnInputReady()
{
    char buffer[kReadSize];
    // One read: the notifier said it will not block.
    const ssize_t got = read(m_inputFd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got < 0) {
        Fail(kExitFailure, std::string("standard input: ") + std::strerror(errno));
        return;
    }
    if (got == 0)
        m_lines.End();
    else
        m_lines.Add(buffer, static_cast<std::size_t>(got));
    if (m_lines.HasLine() || m_lines.Ended() || m_lines.TooLong())
        m_input->setEnabled(false);
    RunNext();
}

void HeadlessSession::ScheduleNext()
{
    QMetaObject::invokeMethod(this, &HeadlessSession::RunNext, Qt::QueuedConnection);
}

void HeadlessSession::RunNext()
{
    if (m_finished || m_busy)
        return;
    std::string line;
    if (m_lines.Next(line)) {
        Run(line);
        return;
    }
    if (m_lines.TooLong()) {
        Fail(kExitUsage, "input line " + std::to_string(m_lines.LineNumber() + 1) + " is longer than " +
                             std::to_string(InputLines::kMaxLine) + " bytes");
        return;
    }
    if (m_lines.Ended()) {
        WaitForQuiet(m_lingerMs);
        return;
    }
    m_input->setEnabled(true);
}

void HeadlessSession::Run(const std::string& line)
{
    Directive directive;
    std::string error;
    if (ReadDirective(line, directive, error) != 0) {
        Fail(kExitUsage, "input line " + std::to_string(m_lines.LineNumber()) + ": " + error);
        return;
    }
    Apply(directive);
    if (!m_finished && !m_busy)
        ScheduleNext();
}

void HeadlessSession::Apply(const Directive& directive)
{
    CChildView& view = *m_frame.View();
    switch (directive.kind) {
    case DirectiveKind::kSend:
        // As Enter does it: the text goes into the command line and the view
        // is sent the command, which runs after what is queued before it.
        view.CommandLine()->setPlainText(
            QString::fromLatin1(directive.text.data(), static_cast<qsizetype>(directive.text.size())));
        QCoreApplication::postEvent(&view, new CommandEvent(ID_SEND_COMMAND));
        break;
    case DirectiveKind::kRx:
        m_frame.OnCommand(ConversionCommand(true, directive.value));
        break;
    case DirectiveKind::kTx:
        m_frame.OnCommand(ConversionCommand(false, directive.value));
        break;
    case DirectiveKind::kSwitch:
        SetMenuSwitch(m_frame, directive.command, directive.value != 0);
        break;
    case DirectiveKind::kPort:
        ChoosePortAndRate(m_frame.Setup(), directive.value, 0);
        ReopenWithSetup();
        break;
    case DirectiveKind::kBaud:
        ChoosePortAndRate(m_frame.Setup(), 0, directive.value);
        ReopenWithSetup();
        break;
    case DirectiveKind::kClear:
        m_frame.OnCommand(ID_CLEAR_REPORT);
        break;
    case DirectiveKind::kSave:
        m_frame.OnCommand(ID_SAVE_SETTING);
        break;
    case DirectiveKind::kSleep:
        m_busy = true;
        m_pause.start(directive.value);
        break;
    case DirectiveKind::kWait:
        WaitForQuiet(directive.value < 0 ? m_lingerMs : directive.value);
        break;
    case DirectiveKind::kQuit:
        Finish(kExitOk);
        break;
    case DirectiveKind::kLog:
        if (directive.value == 0)
            view.Session().Recorder().StopLog();
        else
            view.Session().Recorder().StartLog(directive.text, false, view.Session().Recorder().LogStamps());
        break;
    case DirectiveKind::kCapture:
        if (directive.value == 0)
            view.Session().Recorder().StopCapture();
        else
            m_frame.StartCapture(directive.text);
        break;
    case DirectiveKind::kSendFile:
        // A file that cannot be sent has had its message; the run goes on, as after a failed send.
        if (view.SendFile(directive.text, m_frame.Pacing()) == 0) {
            m_sendingFile = true;
            m_busy = true;
        }
        break;
    case DirectiveKind::kDtr:
        m_frame.SetLineSignal(LineSignal::kDtr, directive.value != 0);
        break;
    case DirectiveKind::kRts:
        m_frame.SetLineSignal(LineSignal::kRts, directive.value != 0);
        break;
    case DirectiveKind::kBreak:
        // The next line runs once the break has ended; the end may come at
        // once (no port), so it resumes through the pause timer, never here.
        m_busy = true;
        m_frame.SendBreak(directive.value, [this] { m_pause.start(0); });
        break;
    }
}

void HeadlessSession::FileSendEnded()
{
    if (!m_sendingFile)
        return;
    m_sendingFile = false;
    m_busy = false;
    ScheduleNext();
}

void HeadlessSession::ReopenWithSetup()
{
    m_frame.ApplySetup();
    // The port operations have already written why.
    if (m_frame.View()->Session().GetLineState() == LineState::kNoPort)
        Finish(kExitFailure);
}

void HeadlessSession::WaitForQuiet(int ms)
{
    m_busy = true;
    m_quietMs = ms;
    m_lastReceived = m_frame.View()->Session().ReceivedBytes();
    m_quietSince.start();
    m_quietPoll.start(kQuietPollMs);
    CheckQuiet();
}

void HeadlessSession::CheckQuiet()
{
    const std::int64_t received = m_frame.View()->Session().ReceivedBytes();
    if (m_hold && m_hold()) {
        m_lastReceived = received;
        m_quietSince.start();
        return;
    }
    if (received != m_lastReceived) {
        m_lastReceived = received;
        m_quietSince.start();
    }
    if (m_quietSince.elapsed() < m_quietMs)
        return;
    m_quietPoll.stop();
    m_busy = false;
    if (m_lines.Ended() && !m_lines.HasLine())
        Finish(kExitOk);
    else
        ScheduleNext();
}

void HeadlessSession::Mirror(const char* text)
{
    if (m_outputFd < 0 || WriteAll(m_outputFd, text, std::strlen(text)))
        return;
    const int failure = errno;
    // Once the reader of the report is gone there is nobody to run for.
    m_outputFd = -1;
    Fail(kExitFailure, std::string("standard output: ") + std::strerror(failure));
}

void HeadlessSession::Fail(int status, const std::string& message)
{
    const std::string line = "tamsel: " + message + "\n";
    (void)WriteAll(STDERR_FILENO, line.data(), line.size());
    Finish(status);
}

void HeadlessSession::Finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    m_status = status;
    m_pause.stop();
    m_quietPoll.stop();
    if (m_input)
        m_input->setEnabled(false);
    QCoreApplication::exit(status);
}
