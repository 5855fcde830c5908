#include "devices/DeviceList.h"

#include "devices/UdevHandles.h"
#include "devices/UdevRecord.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// udev's service leaves this behind while it runs.
constexpr char kUdevControl[] = "/run/udev/control";

struct Found {
    SerialDevice device;
    dev_t number;
};

// The hardware ports among the "tty" records, or false with error set.
bool Scan(udev* context, std::vector<Found>& found, DeviceListing& listing)
{
    const udevhandle::Enumerate enumerate(udev_enumerate_new(context));
    int failed = enumerate ? 0 : -errno;
    if (failed == 0)
        failed = udev_enumerate_add_match_subsystem(enumerate.get(), "tty");
    if (failed == 0)
        failed = udev_enumerate_scan_devices(enumerate.get());
    if (failed < 0) {
        listing.error = std::string("cannot read udev's list of serial devices: ") + std::strerror(-failed);
        return false;
    }
    bool udevData = false;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get()))
    {
        const char* path = udev_list_entry_get_name(entry);
        const udevhandle::Device device(udev_device_new_from_syspath(context, path));
        if (!device) {
            listing.notes.push_back(std::string(path) + " went away while the devices were listed");
            continue;
        }
        if (!IsHardwarePort(device.get()))
            continue;
        udevData = udevData || HasUdevData(device.get());
        found.push_back({DescribeDevice(device.get()), udev_device_get_devnum(device.get())});
    }
    if (!udevData && access(kUdevControl, F_OK) != 0)
        listing.notes.push_back("udev is not running here (a container?): devices are listed without "
                                "their stable names and USB details");
    return true;
}

} // namespace

DeviceListing ListSerialDevices()
{
    DeviceListing listing;
    const udevhandle::Udev context(udev_new());
    if (!context) {
        listing.error = std::string("cannot reach udev: ") + std::strerror(errno);
        return listing;
    }
    std::vector<Found> found;
    if (Scan(context.get(), found, listing)) {
        for (Found& one : found)
            listing.devices.push_back(std::move(one.device));
    }
    return listing;
}

bool FindSerialDevice(const std::string& path, SerialDevice& device)
{
    const udevhandle::Udev context(udev_new());
    if (!context || path.empty())
        return false;
    std::vector<Found> found;
    DeviceListing unused;
    if (!Scan(context.get(), found, unused))
        return false;
    for (const Found& one : found) {
        if (one.device.node == path || one.device.byId == path || one.device.byPath == path) {
            device = one.device;
            return true;
        }
    }
    // Any other name of the node: a link of the user's own, a udev rule's.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISCHR(status.st_mode))
        return false;
    for (const Found& one : found) {
        if (one.number == status.st_rdev) {
            device = one.device;
            return true;
        }
    }
    return false;
}
