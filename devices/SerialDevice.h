#pragma once

#include <string>
#include <vector>

// One serial device present on the machine, as udev describes it. Any field
// may be empty: a plain UART has no USB details, and without udev running
// there are no stable names.
struct SerialDevice {
    std::string node;             // /dev/ttyUSB0
    std::string byId;             // /dev/serial/by-id/...: follows the adapter wherever it is plugged
    std::string byPath;           // /dev/serial/by-path/...: follows the socket it is plugged into
    std::string vendorId;         // USB vendor ID, four hexadecimal digits
    std::string productId;        // USB product ID
    std::string manufacturer;
    std::string product;
    std::string serial;           // the adapter's serial number
    std::string driver;           // ftdi_sio, cdc_acm, serial, ...
    std::string interfaceNumber;  // the USB interface of a multi-port adapter, "00", "01", ...
};

// The devices present, in udev's order, and what could not be said about them.
struct DeviceListing {
    std::vector<SerialDevice> devices;
    // Said once by whoever shows the listing: udev's own service is not
    // running (a container), or a device went away while it was being read.
    std::vector<std::string> notes;
    std::string error;  // the listing could not be made at all; empty when it was
};
