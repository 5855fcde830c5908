#pragma once

#include "serial/DeviceLine.h"
#include "serial/LineDriver.h"
#include "serial/SerialLine.h"

#include <memory>
#include <string>
#include <string_view>

// The kinds of line a device name can lead to, chosen by the form of the
// place the port map gives for it: a URL scheme names a kind of its own; any
// other text is the path of a terminal device.
//   tcp://HOST:PORT      raw TCP (TcpLine)
//   rfc2217://HOST:PORT  Telnet with the COM-PORT-OPTION (Rfc2217Line)
// A network line is opened on a thread of its own: the name look-up and the
// connection may take seconds.

// What an open needs from the port.
struct LineContext {
    LineDriver& driver;               // a device's rate, modem-line and break calls
    DeviceLine::ApplySettings apply;  // a device's termios settings
    int baud;                         // a kind that sets the line up as it opens asks for this rate
};

// How an open ended.
struct LineOpening {
    std::unique_ptr<SerialLine> line;  // nullptr when it failed
    std::string detail;                // why it failed: the place and the OS's reason
    // The place may answer later (a server not up yet), so the port keeps
    // trying as for a lost line; otherwise (no such device, a bad address)
    // it does not.
    bool worthRetrying = false;
};

// An open in progress. A device opens at once; a kind that has to wait for
// a far side (name look-up, connection) does so on a thread of its own, so
// the caller never waits longer than it chooses to.
class LineOpener {
public:
    virtual ~LineOpener() = default;
    // Waits at most waitMs (0: only looks) for the open to end; true once it has.
    virtual bool Wait(int waitMs) = 0;
    // The outcome, once Wait has returned true; only once.
    virtual LineOpening Take() = 0;
};

// Starts opening the line at place.
std::unique_ptr<LineOpener> StartLineOpen(const std::string& place, const LineContext& context);

// An open that has failed already, for detail.
std::unique_ptr<LineOpener> FailedLineOpen(std::string detail);

// Whether text names a network line by one of the URL schemes above.
bool IsNetworkPlace(std::string_view text);

// How long to wait before trying the line at place again after failures
// attempts in a row: a network line backs off from 0.5 s to 5 s; 0 for a
// device, which the caller looks for at its own pace.
int LineRetryMs(const std::string& place, int failures);
