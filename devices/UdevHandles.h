#pragma once

#include <libudev.h>

#include <memory>

// Owning handles of libudev's reference-counted objects.
namespace udevhandle {

struct Unref {
    void operator()(udev* object) const { udev_unref(object); }
    void operator()(udev_enumerate* object) const { udev_enumerate_unref(object); }
    void operator()(udev_device* object) const { udev_device_unref(object); }
    void operator()(udev_monitor* object) const { udev_monitor_unref(object); }
};

using Udev = std::unique_ptr<udev, Unref>;
using Enumerate = std::unique_ptr<udev_enumerate, Unref>;
using Device = std::unique_ptr<udev_device, Unref>;
using Monitor = std::unique_ptr<udev_monitor, Unref>;

} // namespace udevhandle
