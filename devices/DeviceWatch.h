#pragma once

#include "devices/SerialDevice.h"
#include "devices/UdevHandles.h"

#include <string>
#include <vector>

// udev's announcements of serial devices plugged in, as they happen.
//
// State: none until Start; then a monitor on udev's own event stream (sent
// once udev has run its rules, so a device announced as added has its node
// and stable names in place), filtered to the "tty" subsystem. Its descriptor
// becomes readable when events wait; TakeAdded reads them all. The monitor
// goes with the object.

class DeviceWatch {
public:
    // False with error saying why (no udev, no netlink socket allowed).
    bool Start(std::string& error);
    // Readable when events wait; -1 before Start or after a failed one.
    int Fd() const;
    // The terminals with hardware behind them that were added since the last
    // call, oldest first; every other event waiting is dropped.
    std::vector<SerialDevice> TakeAdded();

private:
    udevhandle::Udev m_udev;
    udevhandle::Monitor m_monitor;
};
