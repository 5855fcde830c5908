#pragma once

#include "devices/DeviceWatch.h"
#include "serial/CComPort.h"

#include <string>

// Follows the device behind the port by its identity, the by-id name udev
// gives it (maker, product and serial number), so that a lost line comes back
// when that adapter is plugged in again, under whatever node it now has.
//
// State: the identity of the device the port last opened, or none; with one,
// a watch on udev's events. Follow sets both after each open of the port.
// A line reopened under another node also changes the port map for the run
// (the port's name now leads there), so that a later open with another rate
// finds the same adapter, not whatever took its old node.
// Without an identity (udev not running, a pseudo-terminal, a UART without a
// by-id name, a network line) the port's own retry by path stays, as does the
// port's state machine: this only chooses where a lost line is reopened.
//
// User-interface thread only, like the port's own open and check calls.
class PortFollower {
public:
    // map is the one the port is given at each open; both outlive the follower.
    PortFollower(CComPort& port, PortMap& map) : m_port(port), m_map(map) {}

    // After the port opened at path (empty: nothing is open): learns who is
    // there. True when the identity changed (and with it EventFd).
    bool Follow(const std::string& path);

    // The by-id name being followed; empty when none.
    const std::string& Identity() const { return m_identity; }

    // Readable when udev has news; -1 when nothing is followed or udev's
    // events cannot be had (the line checks still find the device then).
    int EventFd() const { return m_watch.Fd(); }

    // The reader's line check (hang-up seen, then about once a second): with
    // an identity, reopens where the device is now, or only lets go of the
    // dead handle while it is away; without, the port's own check by path.
    LineState CheckLine();

    // The event descriptor was readable: takes udev's events and reopens a
    // lost line at once when its device was plugged in. Returns the line
    // state afterwards.
    LineState TakeEvents();

private:
    LineState ReopenAt(const std::string& node);

    CComPort& m_port;
    PortMap& m_map;
    std::string m_identity;
    DeviceWatch m_watch;
};
