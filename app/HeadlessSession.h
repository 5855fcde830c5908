#pragma once

#include "app/cli/CommandLineOptions.h"
#include "app/cli/InputLines.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

class CMainFrame;
class QSocketNotifier;
struct Directive;

// A headless run: lines from an input descriptor drive the main frame as a
// user at the keyboard would, and everything the report gets is copied to
// an output descriptor as it is appended.
//
// State: the input lines (input is read only while no line waits, so a long
// input is not held in memory); what the run is doing: running lines, a
// pause (::sleep), a file send (::sendfile), or waiting for quiet (::wait, and the end of input with
// the linger time); while waiting for quiet, the received-byte count last
// seen and the time since it last changed. Lines run one per pass of the
// event loop, each once the send before it has been handled, so received
// data is shown between them as it would be for a user typing.
//
// The run ends through QCoreApplication::exit: kExitOk after the end of
// input and its quiet wait, or ::quit; kExitFailure when the port cannot be
// opened or the output is gone; kExitUsage for a wrong directive or a line
// over the limit. Message boxes are not this class's business: a headless
// program installs the standard-error handler for them.
class HeadlessSession : public QObject {
public:
    HeadlessSession(CMainFrame& frame, int lingerMs, int inputFd, int outputFd);
    ~HeadlessSession() override;

    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    // Starts reading input once the event loop has run what is queued
    // before it (the conversions that start-up posted).
    void Start();

    // The run does not end for quiet while running() says something still
    // feeds the report (a replay).
    void HoldWhile(std::function<bool()> running) { m_hold = std::move(running); }

private:
    void OnInputReady();
    void RunNext();
    void ScheduleNext();
    void Run(const std::string& line);
    void Apply(const Directive& directive);
    void ReopenWithSetup();
    void WaitForQuiet(int ms);
    void FileSendEnded();
    void CheckQuiet();
    void Mirror(const char* text);
    void Fail(int status, const std::string& message);
    void Finish(int status);

    CMainFrame& m_frame;
    int m_lingerMs;
    int m_inputFd;
    int m_outputFd;
    QSocketNotifier* m_input = nullptr;
    InputLines m_lines;
    bool m_finished = false;
    int m_status = kExitOk;
    bool m_busy = false;  // in a pause, a quiet wait or a file send
    bool m_sendingFile = false;

    QTimer m_pause;
    QTimer m_quietPoll;
    QElapsedTimer m_quietSince;
    int m_quietMs = 0;
    std::int64_t m_lastReceived = 0;
    std::function<bool()> m_hold;
    int m_mirror = -1;  // the report observer that copies to the output
};
