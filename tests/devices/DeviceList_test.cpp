#include "MockedDevices.h"

#include "devices/DeviceList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What the descriptions in data/ say of each terminal with hardware behind it.
const std::vector<SerialDevice> kExpected = {
    {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
     "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", "0403", "6001", "FTDI", "FT232R USB UART",
     "A50285BI", "ftdi_sio", "00"},
    {"/dev/ttyACM0", "/dev/serial/by-id/usb-Kestrel_Labs_Pico_Board_E6614103E7-if00",
     "/dev/serial/by-path/pci-0000:00:14.0-usb-0:4:1.0", "2e8a", "000a", "Kestrel Labs", "Pico Board",
     "E6614103E7", "cdc_acm", "00"},
    // A UART the driver found: no USB details, the driver of its controller.
    {"/dev/ttyS0", "", "", "", "", "", "", "", "serial", ""},
};

std::vector<std::string> Row(const SerialDevice& d)
{
    return {d.node, d.byId, d.byPath, d.vendorId, d.productId, d.manufacturer,
            d.product, d.serial, d.driver, d.interfaceNumber};
}

const SerialDevice* Find(const std::vector<SerialDevice>& devices, const std::string& node)
{
    const auto at = std::find_if(devices.begin(), devices.end(),
                                 [&node](const SerialDevice& d) { return d.node == node; });
    return at == devices.end() ? nullptr : &*at;
}

class DeviceList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bed.Add("machine.umockdev"));
        ASSERT_TRUE(bed.Add("ftdi-socket2.umockdev"));
    }
    testsupport::MockedDevices bed;
};

TEST_F(DeviceList, ListsEachPortWithHardwareAndWhatUdevKnowsOfIt)
{
    const DeviceListing listing = ListSerialDevices();
    EXPECT_EQ(listing.error, "");
    EXPECT_TRUE(listing.notes.empty()) << listing.notes.front();
    // The empty UART slot (ttyS1) and the console (tty0) are not ports.
    ASSERT_EQ(listing.devices.size(), kExpected.size());
    for (const SerialDevice& expected : kExpected) {
        const SerialDevice* found = Find(listing.devices, expected.node);
        ASSERT_NE(found, nullptr) << expected.node;
        EXPECT_EQ(Row(*found), Row(expected));
    }
}

TEST_F(DeviceList, FindsADeviceByItsNodeOrEitherStableName)
{
    struct Case {
        std::string path;
        const char* node;  // nullptr: no device
    };
    ASSERT_TRUE(bed.Link("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0"));
    const Case cases[] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0"},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:4:1.0", "/dev/ttyACM0"},
        {"/dev/ttyS0", "/dev/ttyS0"},
        {"/dev/ttyS1", nullptr},  // no chip behind it
        {"/dev/ttyUSB7", nullptr},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5XXXXXX-if00-port0", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SerialDevice device;
        const bool found = FindSerialDevice(c.path, device);
        EXPECT_EQ(found, c.node != nullptr) << c.path;
        if (found && c.node) {
            EXPECT_EQ(device.node, c.node) << c.path;
        }
    }
}

} // namespace
