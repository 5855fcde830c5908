#pragma once

#include <string>

#include <termios.h>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace testsupport {

// A test bed of umockdev: the /sys and /dev that libudev and open() see in
// this process (which runs under umockdev-wrapper). Devices come from the
// descriptions in tests/devices/data; a terminal device's node is a
// pseudo-terminal whose far side the test holds. The bed goes with the object.
class MockedDevices {
public:
    MockedDevices();
    ~MockedDevices();

    MockedDevices(const MockedDevices&) = delete;
    MockedDevices& operator=(const MockedDevices&) = delete;

    // Adds the devices of data/<file>; udev's "add" events go out as it does.
    // False (and the test fails) when the description does not load.
    bool Add(const std::string& file);

    // The adapter is pulled: every open descriptor of node hangs up, udev
    // tells of the removal of ttyRecord, and the USB device (both
    // "/sys/devices/...") goes with everything under it, node included.
    void Unplug(const std::string& node, const std::string& ttyRecord, const std::string& usbDevice);

    // The far side of a terminal node: bytes written here arrive at the node.
    bool Send(const std::string& node, const std::string& bytes);

    // The line settings of a terminal node as its far side sees them.
    termios Settings(const std::string& node) const;

    // Makes link (under /dev) lead to node, as udev's rules would.
    bool Link(const std::string& link, const std::string& node);

    // The bed's own path of a /dev path.
    std::string InBed(const std::string& devPath) const;

private:
    UMockdevTestbed* m_bed;
};

} // namespace testsupport
