#pragma once

#include "devices/SerialDevice.h"

#include <string>

// Lists the serial devices present from udev's records of the "tty"
// subsystem. Nothing is opened: opening a port can change its settings or
// reset the board behind it. Terminals without hardware (consoles,
// pseudo-terminals, UART slots where the driver found no chip) are left out.
DeviceListing ListSerialDevices();

// The one device whose node or stable name is path, looked up the same way
// (a symbolic link is followed to its node); false when there is none.
bool FindSerialDevice(const std::string& path, SerialDevice& device);
