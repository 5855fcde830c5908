#pragma once

#include "serial/DeviceLine.h"
#include "serial/LineDriver.h"
#include "serial/SerialLine.h"

#include <memory>
#include <string>

// The kinds of line a device name can lead to, chosen by the form of the
// place the port map gives for it: a URL scheme names a kind of its own; any
// other text is the path of a terminal device.

// What a device open needs from the port.
struct LineContext {
    LineDriver& driver;
    DeviceLine::ApplySettings apply;
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
    // Waits at most waitMs for the open to end; true once it has.
    virtual bool Wait(int waitMs) = 0;
    // The outcome, once Wait has returned true; only once.
    virtual LineOpening Take() = 0;
};

// Starts opening the line at place.
std::unique_ptr<LineOpener> StartLineOpen(const std::string& place, const LineContext& context);
