#pragma once

#include "devices/SerialDevice.h"

#include <libudev.h>

// How one udev record of the "tty" subsystem becomes a SerialDevice; shared
// by the listing and the hot-plug watch, which sees the same records in its events.

// False for terminals without hardware: consoles and virtual terminals (no
// parent device) and UART slots where the driver found no chip (type 0).
bool IsHardwarePort(udev_device* device);

// The device's node, stable names and USB details.
SerialDevice DescribeDevice(udev_device* device);

// Whether udev has processed the device: without its service (a container)
// the records hold only what the kernel knows, no stable names or USB details.
bool HasUdevData(udev_device* device);
