#include "devices/DeviceWatch.h"

#include "devices/UdevRecord.h"

#include <cerrno>
#include <cstring>

bool DeviceWatch::Start(std::string& error)
{
    udevhandle::Udev context(udev_new());
    if (!context) {
        error = std::string("cannot reach udev: ") + std::strerror(errno);
        return false;
    }
    udevhandle::Monitor monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    int failed = monitor ? 0 : -errno;
    if (failed == 0)
        failed = udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr);
    if (failed == 0)
        failed = udev_monitor_enable_receiving(monitor.get());
    if (failed < 0) {
        error = std::string("cannot follow udev's device events: ") + std::strerror(-failed);
        return false;
    }
    m_udev = std::move(context);
    m_monitor = std::move(monitor);
    return true;
}

int DeviceWatch::Fd() const
{
    return m_monitor ? udev_monitor_get_fd(m_monitor.get()) : -1;
}

std::vector<SerialDevice> DeviceWatch::TakeAdded()
{
    std::vector<SerialDevice> added;
    if (!m_monitor)
        return added;
    // The monitor's socket does not block: nullptr once it is drained.
    while (udevhandle::Device device{udev_monitor_receive_device(m_monitor.get())}) {
        const char* action = udev_device_get_action(device.get());
        if (action && std::strcmp(action, "add") == 0 && IsHardwarePort(device.get()))
            added.push_back(DescribeDevice(device.get()));
    }
    return added;
}
