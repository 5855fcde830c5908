#include "MockedDevices.h"

#include "app/cli/ListPorts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kFtdiLine =
    "/dev/ttyUSB0\t/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\t"
    "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0\t0403:6001\tFTDI\tFT232R USB UART\t"
    "A50285BI\tftdi_sio\t00\n";

struct Listed {
    int status;
    std::string out;
    std::string err;
};

std::string Drain(int fd)
{
    std::string text;
    char buffer[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

Listed List(bool json)
{
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    Listed listed{ListPorts(json, fileno(out), fileno(err)), Drain(fileno(out)), Drain(fileno(err))};
    std::fclose(out);
    std::fclose(err);
    return listed;
}

TEST(ListPorts, WritesTheMockedAdapterAsTextAndAsJson)
{
    testsupport::MockedDevices bed;
    ASSERT_TRUE(bed.Add("ftdi-socket2.umockdev"));
    const Listed text = List(false);
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.err, "");
    EXPECT_EQ(text.out, "NODE\tBY-ID\tBY-PATH\tVID:PID\tMANUFACTURER\tPRODUCT\tSERIAL\tDRIVER\tINTERFACE\n" + kFtdiLine);

    const Listed json = List(true);
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find(R"("node": "/dev/ttyUSB0", )"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("vendor_id": "0403", "product_id": "6001", "manufacturer": "FTDI", )"
                            R"("product": "FT232R USB UART", "serial": "A50285BI", "driver": "ftdi_sio", )"
                            R"("interface": "00"})"),
              std::string::npos)
        << json.out;
}

#ifdef TAMSEL_BINARY
// The program itself, in a bed that umockdev-run builds from the descriptions.
TEST(ListPorts, TheProgramListsTheAdapterUnderUmockdevRun)
{
    const std::string data = DEVICE_DATA_DIR;
    const std::string command = std::string(UMOCKDEV_RUN) + " -d " + data + "/machine.umockdev -d " + data +
                                "/ftdi-socket2.umockdev -- " + TAMSEL_BINARY + " --list-ports";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(out.rfind("NODE\tBY-ID\t", 0), 0u) << out;
    EXPECT_NE(out.find("\n" + kFtdiLine), std::string::npos) << out;
    EXPECT_NE(out.find("\n/dev/ttyACM0\t"), std::string::npos) << out;
    EXPECT_EQ(out.find("ttyS1"), std::string::npos) << out;
}
#endif

} // namespace
