#include "devices/PortListText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SerialDevice Adapter(std::string product)
{
    SerialDevice d;
    d.node = "/dev/ttyUSB0";
    d.vendorId = "0403";
    d.productId = "6001";
    d.product = std::move(product);
    return d;
}

TEST(PortListText, OneTabSeparatedLinePerDeviceAfterTheHeader)
{
    SerialDevice uart;
    uart.node = "/dev/ttyS0";
    uart.driver = "serial";
    const std::string text = PortListText({Adapter("Two\tWords\nBroken"), uart});
    EXPECT_EQ(text,
              "NODE\tBY-ID\tBY-PATH\tVID:PID\tMANUFACTURER\tPRODUCT\tSERIAL\tDRIVER\tINTERFACE\n"
              "/dev/ttyUSB0\t-\t-\t0403:6001\t-\tTwo Words Broken\t-\t-\t-\n"
              "/dev/ttyS0\t-\t-\t-\t-\t-\t-\tserial\t-\n");
}

TEST(PortListText, JsonKeepsTheAdaptersTextValidWhateverItHolds)
{
    struct Case {
        std::string product;  // as the adapter reports it
        std::string json;     // the value written
    };
    const Case cases[] = {
        {"FT232R \"USB\" \\ UART", R"("FT232R \"USB\" \\ UART")"},
        {"tab\there\x01", R"("tab\u0009here\u0001")"},
        {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x8C", "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x8C\""},
        {"Latin-1 \xE9t\xE9", R"("Latin-1 \ufffdt\ufffd")"},
        {"cut \xE2\x82", R"("cut \ufffd\ufffd")"},
        {"overlong \xC0\xAF, surrogate \xED\xA0\x80", R"("overlong \ufffd\ufffd, surrogate \ufffd\ufffd\ufffd")"},
    };
    for (const Case& c : cases) {
        const std::string json = PortListJson({Adapter(c.product)});
        EXPECT_NE(json.find("\"product\": " + c.json + ","), std::string::npos) << json;
    }
    EXPECT_EQ(PortListJson({}), "[]\n");
}

} // namespace
