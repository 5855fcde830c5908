#pragma once

#include "devices/SerialDevice.h"

#include <string>
#include <vector>

// The device listing as tamsel --list-ports writes it.

// A header line, then one line per device: the node first, then the stable
// names, the USB vendor:product IDs, manufacturer, product, serial number, driver and
// interface, separated by tabs; "-" stands for a value that is not known.
std::string PortListText(const std::vector<SerialDevice>& devices);

// A JSON array of one object per device, for scripts; unknown values are "".
std::string PortListJson(const std::vector<SerialDevice>& devices);
