#pragma once

#include "filesend/FileSender.h"
#include "history/CommandHistory.h"
#include "session/LineSession.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CEditCR;
class CFindBar;
class CReportWindow;
class CSendBar;
class QPlainTextEdit;

// The terminal view: the report window above the command line, showing one
// line's session (the data path: port, reader, ring, converters, report text,
// log and capture), which it owns. Commands typed are kept in the history and
// handed to the session's send flow; the report window follows the session's
// report text.
//
// State: the commands typed and the quick-send texts; sends that waited for a
// converter call of the session to end (its box was open), run once the
// session says its converters are idle; a running file send.
class CChildView : public QWidget {
    Q_OBJECT
public:
    explicit CChildView(QWidget* parent = nullptr);
    explicit CChildView(const LineTimings& timings, QWidget* parent = nullptr);
    ~CChildView() override;

    CChildView(const CChildView&) = delete;
    CChildView& operator=(const CChildView&) = delete;

    // Handles the view's commands (send, copy, paste, clear, insert line end,
    // find, the quick-send keys); false for any other command.
    bool OnCommand(int id);

    // The line and its data path.
    LineSession& Session() { return m_session; }
    const LineSession& Session() const { return m_session; }

    // The report window's character height in pixels (the zoom keys' work).
    void SetReportFontPixels(int pixels);
    int ReportFontPixels() const;
    // The command line a quick-send key sends (by its place in
    // QuickSendKeys()), as single-byte text; an empty one sends nothing.
    void SetQuickSendText(int index, std::string text);
    const std::string& QuickSendText(int index) const;
    // Sends a file over the line, a piece per pass of the event loop, while
    // the send bar shows how far it is: with the Raw transmit conversion the
    // file's bytes as they are, with the others line by line as typed
    // command lines (converted and echoed, not kept in the history). 0 once
    // it runs; -1 after its box (no port, a file that cannot be read, a send
    // already running). fileSendEnded follows when it ends, however it ends.
    int SendFile(const std::string& path, const SendPacing& pacing);
    void CancelFileSend();
    bool SendingFile() const { return m_fileSend != nullptr; }
    CSendBar* SendBar() { return m_sendBar; }

    // The commands sent, kept in memory; with a file, loaded from it now and
    // written to it at each send. A file that cannot be read or written is
    // said once; the history then stays in memory only.
    void UseHistoryFile(const std::string& path);
    const CommandHistory& History() const { return m_history; }

    QPlainTextEdit* ReportWindow();
    QPlainTextEdit* CommandLine();
    CFindBar* FindBar() { return m_findBar; }

signals:
    // A file send ended: done is true when the whole file went out.
    void fileSendEnded(bool done);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnSendCommand();
    void OnQuickSend(int id);
    // A command as Enter sends it: kept in the history, converted, echoed, written.
    void SendTyped(const std::string& command);
    // Sends that waited for a converter's box go now.
    void RunDeferredSends();
    void OnFileSendStep();
    void EndFileSend(FileSender::Status status);
    void OnFind();
    // Selects the next match at or after from (backwards: before it) and shows it.
    void FindFrom(int from, bool backwards);
    void LayOut();
    void RememberCommand(const std::string& command);
    void HistoryFailed(const std::string& error);

    // The view as the owner of message boxes: a QWidget, whatever the caller.
    void* Owner();

    // Declared first, so that it goes last: the report window shows its text.
    LineSession m_session;
    // The view's commands (send, copy, paste, clear, insert line end, find,
    // the quick-send keys), each entered once with what it runs.
    std::map<int, std::function<void()>> m_commands;
    CReportWindow* m_reportWindow;
    CEditCR* m_commandLine;
    CFindBar* m_findBar;
    CSendBar* m_sendBar;
    CommandHistory m_history;
    std::vector<std::string> m_quickSend;
    std::string m_historyPath;
    std::vector<int> m_deferredSends;  // commands that waited for a running send

    std::unique_ptr<FileSender> m_fileSend;  // while a file is being sent
    // A step runs (a converter's box may be open in it); a cancel then waits for its end.
    bool m_fileStepping = false;
    bool m_fileCancelled = false;
    QTimer m_fileSendTimer;
    QElapsedTimer m_fileSendClock;
};
