#include "sim/OrvaneSim.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace sim;

namespace {

// The monitor's side of the line: the device the simulator names, opened raw.
class Monitor {
public:
    explicit Monitor(const std::string& path) : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    ~Monitor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool Ok() const { return m_fd >= 0; }
    // What a monitor does when it opens a port; a hang-up resets the device's settings.
    bool MakeRaw() const
    {
        termios settings{};
        if (tcgetattr(m_fd, &settings) != 0)
            return false;
        cfmakeraw(&settings);
        return tcsetattr(m_fd, TCSANOW, &settings) == 0;
    }
    void Send(const Bytes& bytes) const
    {
        ASSERT_EQ(write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    Bytes Receive(std::size_t count) const { return ReadBytes(m_fd, count); }
    bool Quiet(int ms) const { return StaysQuiet(m_fd, ms); }

private:
    int m_fd;
};

std::string TempLinkDir()
{
    char pattern[] = "/tmp/orvane-sim-link-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "";
}

class RunningSim : public testing::TestWithParam<FrameVersion> {};

TEST_P(RunningSim, AnswersOverThePseudoTerminal)
{
    const FrameVersion version = GetParam();
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(SimOptions{}, error), 0) << error;
    Monitor monitor(sim.DevicePath());
    ASSERT_TRUE(monitor.Ok());

    monitor.Send(MonitorSends("set16 5 3 0x1234;get16 5 3;get32 all 1", version));
    const Bytes expected = Join({Packet(version, 0x7F, {0x63, 0x05, 0x34, 0x12}),
                                 Packet(version, 0x7F, {0x71, 0x01, 0x01, 0x00, 0x00, 0x01}),
                                 Packet(version, 0x7F, {0x71, 0x05, 0x01, 0x00, 0x00, 0x05}),
                                 Packet(version, 0x7F, {0x71, 0x0C, 0x01, 0x00, 0x00, 0x0C})});
    EXPECT_EQ(Hex(monitor.Receive(expected.size())), Hex(expected));

    monitor.Send(MonitorSends("setid 12 20;get16 20 0", version));
    const Bytes renamed = Join({Packet(version, 0x7F, {0x05, 0x0C, 0x14}),
                                Packet(version, 0x7F, {0x60, 0x14, 0x00, 0x0C})});
    EXPECT_EQ(Hex(monitor.Receive(renamed.size())), Hex(renamed));
    EXPECT_TRUE(monitor.Quiet(50));
}

INSTANTIATE_TEST_SUITE_P(Versions, RunningSim, testing::Values(FrameVersion::V10, FrameVersion::V11),
                         [](const testing::TestParamInfo<FrameVersion>& info) {
                             return info.param == FrameVersion::V11 ? "v11" : "v10";
                         });

TEST(OrvaneSim, WritesFaultyPacketsWhole)
{
    SimOptions options;
    options.nodes = {5};
    options.faults = {{FaultKind::Fill, 1}, {FaultKind::Split, 1}, {FaultKind::Checksum, 1}};
    options.pauseMs = 1;
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(options, error), 0) << error;
    Monitor monitor(sim.DevicePath());
    monitor.Send(MonitorSends("get16 5 3;get16 5 4", FrameVersion::V11));
    EXPECT_EQ(Hex(monitor.Receive(22)),
              "00 00 00 7F 04 FB 63 05 03 05 8F 00 00 00 7F 04 FB 64 05 04 05 8D");
}

TEST(OrvaneSim, SendsTrafficUnasked)
{
    SimOptions options;
    options.nodes = {1};
    options.trafficMs = 5;
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(options, error), 0) << error;
    Monitor monitor(sim.DevicePath());
    const Bytes first = Join({Packet(FrameVersion::V11, 0x81, {0x6F, 0x01, 0x10, 0x01}),
                              Packet(FrameVersion::V11, 0x81, {0x7F, 0x01, 0x10, 0x00, 0x00, 0x01})});
    EXPECT_EQ(Hex(monitor.Receive(first.size())), Hex(first));
}

TEST(OrvaneSim, PlacesItsLinkAndTakesItAwayWhenStopped)
{
    const std::string dir = TempLinkDir();
    ASSERT_FALSE(dir.empty());
    SimOptions options;
    options.link = dir + "/bus";
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(options, error), 0) << error;
    EXPECT_TRUE(sim.Running());
    const std::string device = sim.DevicePath();
    char target[PATH_MAX] = {};
    ASSERT_GT(readlink(options.link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(device, target);
    {
        Monitor monitor(options.link);
        ASSERT_TRUE(monitor.Ok());
        monitor.Send(MonitorSends("get16 1 2", FrameVersion::V11));
        EXPECT_EQ(Hex(monitor.Receive(8)), Hex(Packet(FrameVersion::V11, 0x7F, {0x62, 0x01, 0x02, 0x01})));
    }
    sim.Stop();
    EXPECT_FALSE(sim.Running());
    EXPECT_TRUE(sim.DevicePath().empty());
    struct stat gone {};
    EXPECT_EQ(lstat(options.link.c_str(), &gone), -1);
    EXPECT_EQ(access(device.c_str(), F_OK), -1);
    rmdir(dir.c_str());
}

TEST(OrvaneSim, RefusesASecondStartAndRestartsAfterStop)
{
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(SimOptions{}, error), 0) << error;
    EXPECT_EQ(sim.Start(SimOptions{}, error), -1);
    EXPECT_EQ(error, "the simulator is already running");
    sim.Stop();
    sim.Stop();
    ASSERT_EQ(sim.Start(SimOptions{}, error), 0) << error;
    Monitor monitor(sim.DevicePath());
    monitor.Send(MonitorSends("get16 5 3", FrameVersion::V10));
    EXPECT_EQ(Hex(monitor.Receive(6)), "7F 04 63 05 03 05");
}

TEST(OrvaneSim, StartFailsCleanlyOnABadLinkOrNoNodes)
{
    OrvaneSim sim;
    SimOptions options;
    options.link = "/nonexistent-folder/bus";
    std::string error;
    EXPECT_EQ(sim.Start(options, error), -1);
    EXPECT_EQ(error, "cannot place the link '/nonexistent-folder/bus': No such file or directory");
    EXPECT_FALSE(sim.Running());
    EXPECT_TRUE(sim.DevicePath().empty());

    options = SimOptions{};
    options.nodes.clear();
    EXPECT_EQ(sim.Start(options, error), -1);
    EXPECT_EQ(error, "a bus needs at least one node");
}

TEST(OrvaneSim, StopsPromptlyWithSplitPiecesStillWaiting)
{
    SimOptions options;
    options.faults = {{FaultKind::Split, 1}};
    options.pauseMs = kMaxPauseMs;
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(options, error), 0) << error;
    Monitor monitor(sim.DevicePath());
    monitor.Send(MonitorSends("get16 5 3", FrameVersion::V11));
    EXPECT_EQ(Hex(monitor.Receive(1)), "7F");
    sim.Stop();
    EXPECT_FALSE(sim.Running());
}

TEST(OrvaneSim, ServesAgainAfterTheDeviceWasHungUp)
{
    OrvaneSim sim;
    std::string error;
    ASSERT_EQ(sim.Start(SimOptions{}, error), 0) << error;
    {
        Monitor first(sim.DevicePath());
        ASSERT_TRUE(first.Ok());
        const int fd = open(sim.DevicePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ioctl(fd, TIOCVHANGUP), 0);
        close(fd);
    }
    Monitor again(sim.DevicePath());
    ASSERT_TRUE(again.Ok());
    ASSERT_TRUE(again.MakeRaw());
    again.Send(MonitorSends("get16 5 3", FrameVersion::V10));
    EXPECT_EQ(Hex(again.Receive(6)), "7F 04 63 05 03 05");
}

} // namespace
