#pragma once

#include "devices/PortFollower.h"
#include "filesend/FileSender.h"
#include "history/CommandHistory.h"
#include "serial/CComPort.h"
#include "serial/CFIFO.h"
#include "serial/CReceivePump.h"
#include "serial/PortMap.h"
#include "view/CReportText.h"
#include "view/LineSignalRunner.h"
#include "view/LineStamps.h"
#include "view/SessionRecorder.h"
#include "xrate/CXrate.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The byte ring's size: 64 KiB is 16 ms of a 4 MiB/s line, so a short pause
// of the user-interface thread (a refresh, a page fault, a busy machine) loses nothing.
inline constexpr std::uint32_t kReceiveRingSize = 64 * 1024;

class CEditCR;
class CFindBar;
class CReportWindow;
class CSendBar;
class QPlainTextEdit;
class QSocketNotifier;

// The waits of the serial line; tests shorten those that decide nothing they check.
struct LineTimings {
    PortTimings port;
    PumpTimings pump;
};

// The terminal view: the report window above the command line, and the owner
// of everything on the data path (the port, the reader thread and byte ring,
// one converter per direction). Commands typed are converted, echoed and
// written; bytes received are converted and, when display is on, appended.
// All report text goes through AppendReport.
//
// State: the report text; the receive-display and local-echo flags (off until
// the settings profile sets them); the port map used for opening; the two
// converters, replaced (never reset) by the switching operations. A converter
// may show a message box, whose nested event loop can deliver another send to
// the view: it waits until the running one has finished (the receive pump does
// the same for received data), and a converter replaced meanwhile is deleted
// only once its call has returned.
class CChildView : public QWidget {
    Q_OBJECT
public:
    explicit CChildView(QWidget* parent = nullptr);
    explicit CChildView(const LineTimings& timings, QWidget* parent = nullptr);
    // Stops the reader, closes the port, deletes the transmit converter and
    // then the receive converter.
    ~CChildView() override;

    CChildView(const CChildView&) = delete;
    CChildView& operator=(const CChildView&) = delete;

    // Handles the view's commands (send, copy, paste, clear, insert line end,
    // find, the quick-send keys); false for any other command.
    bool OnCommand(int id);

    void SetRxRaw();
    void SetTxRaw();
    void SetRxHex();
    void SetTxHex();
    void SetRxBin();
    void SetTxBin();
    void SetRxOV();
    void SetTxOV();
    void SetRxOV11();
    void SetTxOV11();
    // The ten above by a conversion's index (its place in the conversion menus).
    void SetReceiveConversion(int index);
    void SetTransmitConversion(int index);

    int ComReopen(const char* name, int baud);
    // ComReopen after the port map changed: the same name and rate open
    // again, since the name may lead to another device now.
    int ComReopenMoved(const char* name, int baud);
    LineState GetLineState() const;

    void SetReceiveEnable(bool on);
    void SetLocalEcho(bool on);
    // Received text of the Raw, Hex and Bin displays gets a time stamp at
    // the start of each line; off by default.
    void SetTimeStamps(bool on);
    // How many characters the report keeps before its oldest lines go
    // (CReportText's limits); lowering it trims the report at once.
    void SetReportLimit(int limit);
    // The report window's character height in pixels (the zoom keys' work).
    void SetReportFontPixels(int pixels);
    int ReportFontPixels() const;
    // The command line a quick-send key sends (by its place in
    // QuickSendKeys()), as single-byte text; an empty one sends nothing.
    void SetQuickSendText(int index, std::string text);
    const std::string& QuickSendText(int index) const;
    // What ends each command that Raw and Hex send; CR LF at first.
    void SetLineEnd(LineEnd end);
    LineEnd GetLineEnd() const { return m_lineEnd; }
    bool TimeStamps() const { return m_timeStamps; }
    // The time the stamps read, as milliseconds of the local day; tests set their own.
    void SetTimeOfDay(std::function<std::int64_t()> clock) { m_timeOfDay = std::move(clock); }
    bool ReceiveEnabled() const { return m_receiveEnable != 0; }
    bool LocalEcho() const { return m_localEcho != 0; }

    // The port itself, for its line signals and its driver, and the timed
    // signals (break, reset) run on it.
    CComPort& Port() { return m_port; }
    // From now on the port's modem inputs are watched and reach modemInputsChanged.
    void WatchModemInputs();
    LineSignalRunner& Signals() { return m_signals; }

    // The map from device names to device paths used by every later open.
    PortMap& Ports() { return m_ports; }

    // Appends report text, trimming the oldest lines beyond the report limit.
    // Returns 1 when old text was removed, otherwise 0.
    int AppendReport(const char* text);
    // observer sees every text AppendReport appends.
    void SetReportObserver(std::function<void(const char* text)> observer);

    // The send flow for one command text (a writable copy; converters may change it).
    void SendCommandLine(char* text);
    // The display step of the receive flow for one chunk (bytes[count] is a zero byte).
    void ShowReceived(const unsigned char* bytes, int count);

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

    // Bytes handed to the receive converter so far, shown or not.
    std::int64_t ReceivedBytes() const { return m_receivedBytes; }

    // The commands sent, kept in memory; with a file, loaded from it now and
    // written to it at each send. A file that cannot be read or written is
    // said once; the history then stays in memory only.
    void UseHistoryFile(const std::string& path);
    const CommandHistory& History() const { return m_history; }

    const CReportText& Report() const { return m_report; }
    // The session log and the raw capture of the line.
    SessionRecorder& Recorder() { return m_recorder; }
    QPlainTextEdit* ReportWindow();
    QPlainTextEdit* CommandLine();
    CFindBar* FindBar() { return m_findBar; }

signals:
    // The line state (a LineState value) changed: opened, lost, reopened, closed.
    void lineStateChanged(int state);
    // The modem inputs of the open line (ModemListener's bits) changed.
    void modemInputsChanged(int bits);
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
    // The send flow up to the write: converts, echoes, and shows a result
    // meant for the report. Returns the bytes to write with len as
    // XrateSend left it.
    const char* ConvertAndEcho(char* text, int& len);
    // One converted file line's bytes, as the send flow would write them.
    std::string ConvertFileLine(const std::string& line);
    void OnFileSendStep();
    void EndFileSend(FileSender::Status status);
    void OnEditCopy();
    void OnEditPaste();
    void OnClearReport();
    void OnInsertCR();
    void OnFind();
    // Selects the next match at or after from (backwards: before it) and shows it.
    void FindFrom(int from, bool backwards);
    void LayOut();
    void OnReceive();
    void OnLineCheck();
    void NoteLineState();
    // After an open: follows the device now behind the port by its identity.
    void FollowDevice(const char* name);
    void RememberCommand(const std::string& command);
    void HistoryFailed(const std::string& error);

    // The view as the owner of message boxes: a QWidget, whatever the caller.
    void* Owner();
    void RetireTransmit();
    void RetireReceive();
    // Once no converter call runs: frees retired converters and runs the
    // sends that had to wait.
    void AfterConverterCall();

    CReportText m_report;
    CReportWindow* m_reportWindow;
    CEditCR* m_commandLine;
    CFindBar* m_findBar;
    CSendBar* m_sendBar;
    int m_receiveEnable = 0;
    int m_localEcho = 0;
    std::function<void(const char*)> m_reportObserver;
    int m_receiveConversion = 0;
    int m_transmitConversion = 0;
    bool m_timeStamps = false;
    LineEnd m_lineEnd = LineEnd::kCrLf;
    LineStamps m_stamps;
    std::function<std::int64_t()> m_timeOfDay;
    CommandHistory m_history;
    std::vector<std::string> m_quickSend;
    std::string m_historyPath;

    // Crosses from the port's modem watch to the user-interface thread; the
    // watch calls it until the port stops it, so it is declared before the
    // port and outlives it.
    class ModemFeed final : public ModemListener {
    public:
        explicit ModemFeed(QObject* view) : m_view(view) {}
        void ModemInputs(int bits) override;

    private:
        QObject* m_view;
    };
    ModemFeed m_modemFeed{this};

    PortMap m_ports;
    CComPort m_port;
    SessionRecorder m_recorder;  // taps the port, so it goes before the port
    CFIFO m_ring;
    CReceivePump m_pump;
    // Reopens a replugged adapter wherever udev says it is; declared after
    // the port and its map, so it goes first.
    PortFollower m_follower{m_port, m_ports};
    QSocketNotifier* m_deviceEvents = nullptr;
    LineSignalRunner m_signals;  // drives the port, so it goes before the port
    LineState m_shownLineState = LineState::kNoPort;

    std::unique_ptr<CXrate> m_transmit;
    std::unique_ptr<CXrate> m_receive;
    // Converters replaced while one of their calls was still running.
    std::vector<std::unique_ptr<CXrate>> m_retired;
    int m_sending = 0;
    int m_receiving = 0;
    std::vector<int> m_deferredSends;  // commands that waited for a running send
    std::int64_t m_receivedBytes = 0;

    std::unique_ptr<FileSender> m_fileSend;  // while a file is being sent
    // A step runs (a converter's box may be open in it); a cancel then waits for its end.
    bool m_fileStepping = false;
    bool m_fileCancelled = false;
    QTimer m_fileSendTimer;
    QElapsedTimer m_fileSendClock;
};
