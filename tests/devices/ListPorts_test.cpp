#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace {

struct Listed {
    int status;
    std::string out;
};

// The program itself, in a bed that umockdev-run builds from the descriptions.
Listed ListUnderUmockdevRun(const std::string& options)
{
    const std::string data = DEVICE_DATA_DIR;
    std::string command = UMOCKDEV_RUN;
    command.append(" -d ").append(data).append("/machine.umockdev -d ").append(data);
    command.append("/ftdi-socket2.umockdev -- ").append(TAMSEL_BINARY).append(" --list-ports").append(options);
    Listed listed{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return listed;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        listed.out.append(buffer, got);
    const int status = pclose(pipe);
    listed.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return listed;
}

TEST(ListPorts, TheProgramListsTheMockedAdapterAsTextAndAsJson)
{
    const Listed text = ListUnderUmockdevRun("");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out.rfind("NODE\tBY-ID\tBY-PATH\tVID:PID\tMANUFACTURER\tPRODUCT\tSERIAL\tDRIVER\tINTERFACE\n", 0), 0u)
        << text.out;
    EXPECT_NE(text.out.find("\n/dev/ttyUSB0\t/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\t"
                            "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0\t0403:6001\tFTDI\t"
                            "FT232R USB UART\tA50285BI\tftdi_sio\t00\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\n/dev/ttyACM0\t"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("ttyS1"), std::string::npos) << "an empty UART slot is no port";

    const Listed json = ListUnderUmockdevRun(" --json");
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find(R"({"node": "/dev/ttyUSB0", )"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("vendor_id": "0403", "product_id": "6001", "manufacturer": "FTDI", )"
                            R"("product": "FT232R USB UART", "serial": "A50285BI", "driver": "ftdi_sio", )"
                            R"("interface": "00"})"),
              std::string::npos)
        << json.out;
}

} // namespace
