#pragma once

#include "devices/PortFollower.h"
#include "report/CReportText.h"
#include "serial/CComPort.h"
#include "serial/CFIFO.h"
#include "serial/CReceivePump.h"
#include "serial/PortMap.h"
#include "session/LineSignalRunner.h"
#include "session/LineStamps.h"
#include "session/SessionRecorder.h"
#include "xrate/CXrate.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

// The byte ring's size: 64 KiB is 16 ms of a 4 MiB/s line, so a short pause
// of the user-interface thread (a refresh, a page fault, a busy machine) loses nothing.
inline constexpr std::uint32_t kReceiveRingSize = 64 * 1024;

// The waits of the serial line; tests shorten those that decide nothing they check.
struct LineTimings {
    PortTimings port;
    PumpTimings pump;
};

// One line and everything on its data path, without a widget: the port and
// its map, the reader thread and byte ring, one converter per direction, the
// report text, the log and capture, the time stamps, the line signals and
// the device follower. Whatever shows the line (the view's report window, a
// headless run's output, a script) attaches to it; the session itself never
// draws.
//
// State: the report text; the receive-display and local-echo flags (off until
// the settings profile sets them); the two converters, replaced (never reset)
// by the switching operations. A converter may show a message box, whose
// nested event loop can deliver another send: the caller waits until Sending()
// is false again (convertersIdle says when), and a converter replaced
// meanwhile is deleted only once its call has returned. The receive pump holds
// back received data in the same way.
class LineSession : public QObject {
    Q_OBJECT
public:
    // owner is the widget message boxes of the line belong to (nullptr: none).
    LineSession(void* owner, const LineTimings& timings, QObject* parent = nullptr);
    // Stops the reader, closes the port, deletes the transmit converter and
    // then the receive converter.
    ~LineSession() override;

    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    // A conversion by its index in the conversion registry.
    void SetReceiveConversion(int index);
    void SetTransmitConversion(int index);
    int ReceiveConversion() const { return m_receiveConversion; }
    int TransmitConversion() const { return m_transmitConversion; }
    // What ends each command that Raw and Hex send; CR LF at first.
    void SetLineEnd(LineEnd end);
    LineEnd GetLineEnd() const { return m_lineEnd; }

    int ComReopen(const char* name, int baud);
    // ComReopen after the port map changed: the same name and rate open
    // again, since the name may lead to another device now.
    int ComReopenMoved(const char* name, int baud);
    LineState GetLineState() const { return m_port.GetLineState(); }
    // The port itself, for its line signals and its driver.
    CComPort& Port() { return m_port; }
    // The map from device names to device paths used by every later open.
    PortMap& Ports() { return m_ports; }
    // The timed signals (break, reset) run on the port.
    LineSignalRunner& Signals() { return m_signals; }
    // From now on the port's modem inputs are watched and reach modemInputsChanged.
    void WatchModemInputs();
    // The session log and the raw capture of the line.
    SessionRecorder& Recorder() { return m_recorder; }

    void SetReceiveEnable(bool on) { m_receiveEnable = on; }
    bool ReceiveEnabled() const { return m_receiveEnable; }
    void SetLocalEcho(bool on) { m_localEcho = on; }
    bool LocalEcho() const { return m_localEcho; }
    // Received text of the conversions that want them gets a time stamp at
    // the start of each line; off by default.
    void SetTimeStamps(bool on);
    bool TimeStamps() const { return m_timeStamps; }
    // The time the stamps read, as milliseconds of the local day; tests set their own.
    void SetTimeOfDay(std::function<std::int64_t()> clock) { m_timeOfDay = std::move(clock); }

    CReportText& Report() { return m_report; }
    const CReportText& Report() const { return m_report; }
    // Appends report text, trimming the oldest lines beyond the report limit.
    // Returns 1 when old text was removed, otherwise 0.
    int AppendReport(const char* text);
    void ClearReport();
    // How many characters the report keeps (CReportText's limits); lowering
    // it trims the report at once.
    void SetReportLimit(int limit);
    // shown hears every change of the report: true after an append, false
    // after a trim or a clear that was no append. One per session (the window).
    void SetReportShown(std::function<void(bool appended)> shown) { m_reportShown = std::move(shown); }
    // Every text AppendReport appends also goes to each observer. Returns a
    // key for RemoveReportObserver.
    int AddReportObserver(std::function<void(const char* text)> observer);
    void RemoveReportObserver(int key);

    // The send flow for one command text (a writable copy; converters may
    // change it): converted, echoed, written.
    void SendCommandLine(char* text);
    // One line as the send flow would convert it, echoed, without writing it.
    std::string ConvertLine(const std::string& line);
    // A converter call runs (its box may be open); sends must wait for convertersIdle.
    bool Sending() const { return m_sending > 0; }

    // The display step of the receive flow for one chunk (bytes[count] is a zero byte).
    void ShowReceived(const unsigned char* bytes, int count);
    // Bytes handed to the receive converter so far, shown or not.
    std::int64_t ReceivedBytes() const { return m_receivedBytes; }

signals:
    // The line state (a LineState value) changed: opened, lost, reopened, closed.
    void lineStateChanged(int state);
    // The modem inputs of the open line (ModemListener's bits) changed.
    void modemInputsChanged(int bits);
    // No converter call runs any more: sends that waited may go.
    void convertersIdle();

protected:
    bool event(QEvent* event) override;

private:
    // The send flow up to the write: converts, echoes, and shows a result
    // meant for the report. Returns the bytes to write with len as
    // XrateSend left it.
    const char* ConvertAndEcho(char* text, int& len);
    void OnReceive();
    void OnLineCheck();
    void NoteLineState();
    // After an open: follows the device now behind the port by its identity.
    void FollowDevice(const char* name);
    void RetireTransmit();
    void RetireReceive();
    // Once no converter call runs: frees retired converters.
    void AfterConverterCall();

    void* m_owner;
    CReportText m_report;
    std::function<void(bool)> m_reportShown;
    std::map<int, std::function<void(const char*)>> m_reportObservers;
    int m_nextObserver = 0;
    bool m_receiveEnable = false;
    bool m_localEcho = false;
    int m_receiveConversion = 0;
    int m_transmitConversion = 0;
    bool m_timeStamps = false;
    LineEnd m_lineEnd = LineEnd::kCrLf;
    LineStamps m_stamps;
    std::function<std::int64_t()> m_timeOfDay;

    // Crosses from the port's modem watch to the user-interface thread; the
    // watch calls it until the port stops it, so it is declared before the
    // port and outlives it.
    class ModemFeed final : public ModemListener {
    public:
        explicit ModemFeed(QObject* session) : m_session(session) {}
        void ModemInputs(int bits) override;

    private:
        QObject* m_session;
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
    std::int64_t m_receivedBytes = 0;
};
