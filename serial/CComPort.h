#pragma once

#include "serial/LineDriver.h"
#include "serial/LineKinds.h"
#include "serial/LineTap.h"
#include "serial/ModemWatch.h"
#include "serial/PortMap.h"
#include "serial/SerialLine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <termios.h>

// The one serial port of the view: open, configure, write and close on the
// user-interface thread; read on the reader thread.
//
// State (user-interface thread unless noted):
// - port name (at most 19 characters) and baud rate: the last ComReopen
//   request, whether or not its open worked, so that the same request again
//   does nothing. Empty and 0 at construction. A rate with a termios speed
//   constant is set with the other line settings; any other rate from 50 to
//   4000000 through the driver's arbitrary rate, and read back as well.
// - port handle: the open line or none (nullptr), one atomic word that the
//   reader thread reads at each pass. The kind of line (a terminal device, a
//   network port) follows from where the port map sends the name
//   (LineKinds.h); the port treats every kind alike.
// - line state, one atomic word:
//     kNoPort           nothing open (construction, a failed open, ComClose)
//     kOpen             open and configured by ComOpen
//     kOpenUnconfigured held open with the settings it had; ComOpen's line
//                       settings could not be read or were rejected
//     kLost             the device hung up (the reader saw it), or a server
//                       did not take the connection. CheckLine closes the
//                       dead handle and reopens the same name with the same
//                       rate once the device or server is back. A device's
//                       loss shows no box; a connection's shows its reason
//                       once
//     kReopened         open and configured again by CheckLine after kLost
//     kConnecting       a network line still looking its server up or
//                       connecting when ComOpen stopped waiting for it;
//                       CheckLine takes the outcome as ComOpen would have
//   ComReopen with another name or rate (ComClose, then ComOpen) leads from
//   any state to kNoPort, kOpen, kOpenUnconfigured, kConnecting, or kLost
//   for a server that refused. The reader turns kOpen, kOpenUnconfigured and
//   kReopened into kLost when the line hangs up; CheckLine turns kLost into
//   kReopened (kOpenUnconfigured if the settings no longer take) once the
//   line opens again. A device that never opened is not retried; a server is
//   retried until it answers, ever less often (LineKinds.h). The view shows
//   the state after each of these calls.
// - the open in progress (kConnecting, or a retry of a network line), the
//   failed attempts in a row and the delay the reader waits before asking
//   for the next CheckLine.
//
// Hand-over of the handle: the reader announces the handle it is about to use
// and checks that it is still current; ComClose clears the field, waits the
// close wait and then until the reader no longer uses the old handle, and only
// then closes it. With no handle held ComClose does not wait. Every kind of
// line ends a read within the read time-outs, whatever the device's own
// settings, so the wait is short.

enum class LineState : int { kNoPort, kOpen, kOpenUnconfigured, kLost, kReopened, kConnecting };

// The two modem lines the port drives.
enum class LineSignal { kDtr, kRts };

// The fixed time-outs of the line, in milliseconds. Tests may shorten the
// waits that do not decide a behaviour they check.
struct PortTimings {
    int readIntervalMs = 25;    // a read ends this long after a byte with no further byte
    int readTotalMs = 100;      // a read ends at the latest this long after it started
    int readGatherMs = 10;      // a slow line collects at most this long between looks
    int writePerByteMs = 20;    // a write of n bytes gives up after
    int writeConstantMs = 500;  //   writePerByteMs * n + writeConstantMs
    int closeWaitMs = 200;      // between clearing the handle field and closing the handle
    int openWaitMs = 90;        // the longest an open waits for a far side (look-up, connection)
};

// What one read on the reader thread found.
enum class ReadStatus { kNoPort, kData, kNothing, kHungUp };
struct ReadResult {
    ReadStatus status;
    int count;            // bytes stored in the buffer; may be > 0 only with kData
    bool noted = false;   // the line has a note for CheckLine to show
};

inline constexpr int kPortNameSize = 20;

class CComPort {
public:
    // owner is the view; it owns the message boxes of the port operations.
    explicit CComPort(void* owner, PortTimings timings = {});
    // Closes a held handle without the close wait; the reader must be stopped first.
    virtual ~CComPort();

    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // Replaces the port map used by later opens.
    void SetPortMap(const PortMap& map);

    // The driver of the rate, modem-line and break calls; nullptr: the
    // system's. Set before the port opens; it outlives the port.
    void SetLineDriver(LineDriver* driver);

    // User-interface thread. Results are 0 on success and -1 after the
    // failure has been shown with caption "Tamsel::ComOpen" / "Tamsel::ComSend".
    int ComOpen(const char* name);
    int ComClose();
    int ComReopen(const char* name, int baud);
    int ComSend(const char* bytes, int length);  // length < 0: bytes is NUL-terminated text
    // A piece of a longer send (a file): writes what the line takes of length
    // bytes within waitMs and shows no box; the caller keeps the time-out
    // (WriteTimeoutMs) and says what failed. Error ENOTCONN when no port is open.
    PortWriteResult WritePart(const char* bytes, int length, int waitMs);
    // How long a write of length bytes may take before it has timed out.
    long long WriteTimeoutMs(int length) const;

    // User-interface thread, when the reader has asked for it (hang-up seen,
    // time to look for the device again, or a note of the line to show once).
    // Returns the line state afterwards.
    LineState CheckLine();
    // CheckLine for a device known to be at path now (a replugged adapter
    // under another node): reopens there rather than where the port map sends
    // the name, for this run only. With an empty path (the device is not
    // back) it only lets go of the dead handle.
    LineState CheckLineAt(const std::string& path);

    // User-interface thread: the modem lines and the break condition of the
    // open line (SerialLine.h). -1 with errno ENOTCONN when no port is open.
    int GetModemLines(int& bits);
    int SetModemLines(int bits, bool on);
    int SetBreak(bool on);

    // User-interface thread: line signals with their messages (caption
    // "Tamsel::ComSignal"); 0, or -1 after the box. SetSignal keeps the level
    // as the one wanted for the port and sets it now on an open line; every
    // later open (ComOpen, CheckLine) sets it again. A line with no modem
    // lines (a pseudo-terminal, a raw network line) is said once in the
    // port's life; after that its signal calls fail without a box.
    int SetSignal(LineSignal signal, bool on);
    // Raises (on) or ends the break condition; a line with no modem lines is
    // taken to have no break either (a pseudo-terminal ignores one).
    int ComBreak(bool on);
    // The level wanted for a signal: 1 on, 0 off, -1 none chosen (as the line has it).
    int WantedSignal(LineSignal signal) const;

    // Either thread.
    LineState GetLineState() const;
    // Whether the reader should ask for CheckLine (kLost, kConnecting), and
    // how long it should wait between asking: 0 for its own pace.
    bool AwaitsLine() const;
    int LineCheckDelayMs() const { return m_checkDelayMs.load(); }
    bool HasHandle() const;
    const char* PortName() const { return m_portName; }
    int BaudRate() const { return m_baudRate; }

    // Reader thread only. One read of up to size bytes with the read
    // time-outs; once kReadEnough bytes are in it ends as soon as the line
    // has no more at once, so a slow line still shows its text every
    // kReadEnough bytes while a fast one is taken in large reads.
    static constexpr int kReadEnough = 512;
    ReadResult ReadPort(unsigned char* buffer, int size);

    // Shows every chunk read and every block written to tap (nullptr: none).
    // Set it before the reader starts; the tap outlives the port.
    void SetTap(LineTap* tap) { m_tap.store(tap); }

    // User-interface thread. Tells listener the modem inputs of the open line
    // and of every line the port opens later, from a watch that runs while
    // the line is open (nullptr: no watch). The listener outlives the port.
    void SetModemListener(ModemListener* listener);

protected:
    // Writes the line settings to the device (tcsetattr). A pseudo-terminal
    // takes every rate, so tests override this to stand for a refusing driver.
    virtual int ApplyLineSettings(int fd, const termios& settings);

private:
    std::unique_ptr<LineOpener> StartOpen(const char* name);
    std::unique_ptr<LineOpener> StartOpenAt(const std::string& place);
    LineState Revive(const std::string* place);
    // Puts an ended open in place and sets the state; a first open (not a
    // retry) shows its failures. The result of ComOpen.
    int TakeOpening(LineOpening opening, bool retry);
    void TakeAndCloseHandle(int waitMs);
    // Sets the wanted levels on a line just opened; a failure shows its box.
    void ApplyWantedSignals(SerialLine& line);
    // The box for a failed signal call (errno err) on line; what names the signal.
    int SignalFailed(SerialLine& line, const char* what, int err);
    bool ReaderUses(const SerialLine* line) const;

    void* m_owner;
    LineDriver* m_driver = &SystemLineDriver();
    std::atomic<LineTap*> m_tap{nullptr};
    ModemListener* m_modemListener = nullptr;
    // Runs while a line is open; stopped before that line is deleted.
    ModemWatch m_modemWatch;
    PortTimings m_timings;
    PortMap m_map;
    char m_portName[kPortNameSize] = {};
    std::int32_t m_baudRate = 0;
    // Owned: deleted once taken out of the field and no longer read.
    std::atomic<SerialLine*> m_handle{nullptr};
    std::atomic<SerialLine*> m_readerHandle{nullptr};
    std::atomic<LineState> m_state{LineState::kNoPort};
    std::unique_ptr<LineOpener> m_opening;
    bool m_openingIsRetry = false;
    int m_failures = 0;
    bool m_checking = false;  // a CheckLine box is open: its nested loop may call again
    bool m_noteShown = false;  // a note of the line has been shown since ComOpen
    std::atomic<int> m_checkDelayMs{0};
    int m_wantedDtr = -1;
    int m_wantedRts = -1;
    bool m_noModemLinesSaid = false;
};
