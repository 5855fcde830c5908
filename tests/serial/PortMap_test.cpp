#include "serial/PortMap.h"

#include <gtest/gtest.h>

namespace {

struct ResolveCase {
    const char* name;
    const char* path;
};

class PortMapDefaults : public testing::TestWithParam<ResolveCase> {};

TEST_P(PortMapDefaults, DeviceNameResolvesToTheBuiltInPath)
{
    const PortMap map;
    EXPECT_EQ(map.Resolve(GetParam().name), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortMapDefaults,
    testing::Values(ResolveCase{"\\\\.\\COM1", "/dev/ttyS0"}, ResolveCase{"\\\\.\\COM4", "/dev/ttyS3"},
                    ResolveCase{"\\\\.\\COM5", "/dev/ttyUSB0"},
                    ResolveCase{"\\\\.\\COM12", "/dev/ttyUSB7"},
                    ResolveCase{"\\\\.\\COM13", "/dev/ttyACM0"},
                    ResolveCase{"\\\\.\\COM20", "/dev/ttyACM7"}, ResolveCase{"\\\\.\\COM21", ""},
                    ResolveCase{"\\\\.\\COM0", ""}, ResolveCase{"\\\\.\\COM01", ""},
                    ResolveCase{"\\\\.\\COM3x", ""}, ResolveCase{"COM3", ""},
                    ResolveCase{"\\\\.\\com3", ""}, ResolveCase{"", ""},
                    ResolveCase{"/dev/pts/7", "/dev/pts/7"}));

} // namespace

TEST(PortMap, CommandLineBeatsUserMapWhichBeatsTheDefault)
{
    PortMap map;
    EXPECT_TRUE(map.SetUserPath("COM5", "/dev/serial/by-id/usb-adapter"));
    EXPECT_EQ(map.Resolve("\\\\.\\COM5"), "/dev/serial/by-id/usb-adapter");
    EXPECT_TRUE(map.SetOverride("COM5=/tmp/ttyV0"));
    EXPECT_EQ(map.Resolve("\\\\.\\COM5"), "/tmp/ttyV0");
    EXPECT_TRUE(map.SetUserPath("com20", "/dev/ttyS9"));
    EXPECT_EQ(map.Resolve("\\\\.\\COM20"), "/dev/ttyS9");
    EXPECT_EQ(map.Resolve("\\\\.\\COM6"), "/dev/ttyUSB1") << "other ports keep their defaults";
}

TEST(PortMap, MalformedEntriesAreRefusedAndChangeNothing)
{
    PortMap map;
    for (const char* key : {"COM0", "COM21", "COM", "COM05", "COM-1", "LPT1", "COM1x", "", "COM99999999999"})
        EXPECT_FALSE(map.SetUserPath(key, "/dev/null")) << key;
    EXPECT_FALSE(map.SetUserPath("COM2", ""));
    for (const char* arg : {"COM2", "COM2=", "=/dev/null", "COM21=/dev/null", "--port"})
        EXPECT_FALSE(map.SetOverride(arg)) << arg;
    EXPECT_EQ(map.Resolve("\\\\.\\COM2"), "/dev/ttyS1");
}

TEST(PortMap, PortNumberReadsOnlyTheDeviceForm)
{
    EXPECT_EQ(PortMap::PortNumber("\\\\.\\COM7"), 7);
    EXPECT_EQ(PortMap::PortNumber("\\\\.\\COM250"), 250);
    EXPECT_EQ(PortMap::PortNumber("\\\\.\\COM"), 0);
    EXPECT_EQ(PortMap::PortNumber("\\\\.\\COM7 "), 0);
    EXPECT_EQ(PortMap::PortNumber(nullptr), 0);
    EXPECT_EQ(PortMap().Resolve(nullptr), "");
}
