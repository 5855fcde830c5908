#include "devices/UdevRecord.h"

#include <cstring>
#include <string_view>

namespace {

std::string Text(const char* value)
{
    return value ? value : "";
}

std::string Property(udev_device* device, const char* name)
{
    return Text(udev_device_get_property_value(device, name));
}

// The first of the space-separated links that begins with prefix.
std::string LinkUnder(const std::string& links, std::string_view prefix)
{
    std::size_t at = 0;
    while (at < links.size()) {
        std::size_t end = links.find(' ', at);
        if (end == std::string::npos)
            end = links.size();
        const std::string_view link(links.data() + at, end - at);
        if (link.starts_with(prefix))
            return std::string(link);
        at = end + 1;
    }
    return {};
}

bool IsSubsystem(udev_device* device, const char* subsystem)
{
    const char* own = udev_device_get_subsystem(device);
    return own && std::strcmp(own, subsystem) == 0;
}

// The driver that runs the port: udev names the USB one; otherwise that of
// the nearest parent, past the serial core's own port and controller records.
std::string DriverOf(udev_device* device)
{
    if (std::string usb = Property(device, "ID_USB_DRIVER"); !usb.empty())
        return usb;
    for (udev_device* parent = udev_device_get_parent(device); parent; parent = udev_device_get_parent(parent)) {
        if (IsSubsystem(parent, "serial-base"))
            continue;
        if (const char* driver = udev_device_get_driver(parent))
            return driver;
    }
    return {};
}

// The udev property, or else the attribute of the USB record it comes from.
std::string UsbValue(udev_device* device, udev_device* usb, const char* property, const char* attribute)
{
    if (usb) {
        if (const char* value = udev_device_get_sysattr_value(usb, attribute))
            return value;
    }
    return Property(device, property);
}

} // namespace

bool IsHardwarePort(udev_device* device)
{
    if (udev_device_get_parent(device) == nullptr)
        return false;
    const char* type = udev_device_get_sysattr_value(device, "type");
    return type == nullptr || std::strcmp(type, "0") != 0;
}

SerialDevice DescribeDevice(udev_device* device)
{
    SerialDevice found;
    found.node = Text(udev_device_get_devnode(device));
    const std::string links = Property(device, "DEVLINKS");
    found.byId = LinkUnder(links, "/dev/serial/by-id/");
    found.byPath = LinkUnder(links, "/dev/serial/by-path/");
    found.driver = DriverOf(device);

    // The strings as the adapter itself gives them (udev's own copies have
    // blanks turned into underscores).
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    udev_device* usbInterface = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
    found.vendorId = Property(device, "ID_VENDOR_ID");
    if (found.vendorId.empty() && usb)
        found.vendorId = Text(udev_device_get_sysattr_value(usb, "idVendor"));
    found.productId = Property(device, "ID_MODEL_ID");
    if (found.productId.empty() && usb)
        found.productId = Text(udev_device_get_sysattr_value(usb, "idProduct"));
    found.manufacturer = UsbValue(device, usb, "ID_VENDOR", "manufacturer");
    found.product = UsbValue(device, usb, "ID_MODEL", "product");
    found.serial = UsbValue(device, usb, "ID_SERIAL_SHORT", "serial");
    found.interfaceNumber = Property(device, "ID_USB_INTERFACE_NUM");
    if (found.interfaceNumber.empty() && usbInterface)
        found.interfaceNumber = Text(udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber"));
    return found;
}

bool HasUdevData(udev_device* device)
{
    for (const char* name : {"DEVLINKS", "ID_PATH", "ID_VENDOR_ID", "ID_SERIAL"}) {
        if (udev_device_get_property_value(device, name))
            return true;
    }
    return false;
}
