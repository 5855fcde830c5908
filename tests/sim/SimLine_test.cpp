#include "sim/SimLine.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace sim;

namespace {

// A private folder for links, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/orvane-sim-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "";
    }
    ~TempDir()
    {
        for (const char* name : {"bus", "file"})
            unlink((m_path + "/" + name).c_str());
        rmdir(m_path.c_str());
    }
    std::string operator/(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string LinkTarget(const std::string& link)
{
    char target[PATH_MAX];
    const ssize_t size = readlink(link.c_str(), target, sizeof target - 1);
    return size < 0 ? std::string() : std::string(target, static_cast<std::size_t>(size));
}

TEST(SimLine, OpensARawDeviceThatCarriesBytesBothWays)
{
    SimLine line;
    std::string error;
    ASSERT_EQ(line.Open(error), 0) << error;
    ASSERT_EQ(line.Path().rfind("/dev/pts/", 0), 0u) << line.Path();

    const int device = open(line.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(device, 0);
    termios settings{};
    ASSERT_EQ(tcgetattr(device, &settings), 0);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);

    // Bytes a line discipline would touch pass unchanged.
    const unsigned char out[] = {0x00, 0x0D, 0x0A, 0x03, 0xFF};
    ASSERT_EQ(write(line.Master(), out, sizeof out), static_cast<ssize_t>(sizeof out));
    pollfd arrived{device, POLLIN, 0};
    ASSERT_EQ(poll(&arrived, 1, 2000), 1);
    EXPECT_EQ(line.Unread(), static_cast<int>(sizeof out));
    unsigned char in[8] = {};
    ASSERT_EQ(read(device, in, sizeof in), static_cast<ssize_t>(sizeof out));
    EXPECT_EQ(std::memcmp(in, out, sizeof out), 0);
    EXPECT_EQ(line.Unread(), 0);

    ASSERT_EQ(write(device, out, sizeof out), static_cast<ssize_t>(sizeof out));
    pollfd ready{line.Master(), POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 2000), 1);
    EXPECT_EQ(read(line.Master(), in, sizeof in), static_cast<ssize_t>(sizeof out));
    close(device);
}

TEST(SimLine, SurvivesTheDeviceBeingClosedAndReopened)
{
    SimLine line;
    std::string error;
    ASSERT_EQ(line.Open(error), 0) << error;
    close(open(line.Path().c_str(), O_RDWR | O_NOCTTY));
    const int again = open(line.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(again, 0);
    const unsigned char byte = 0x45;
    EXPECT_EQ(write(line.Master(), &byte, 1), 1);
    unsigned char in = 0;
    EXPECT_EQ(read(again, &in, 1), 1);
    EXPECT_EQ(in, 0x45);
    close(again);
}

TEST(SimLine, PlacesReplacesAndRemovesItsLink)
{
    TempDir dir;
    const std::string link = dir / "bus";
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);

    std::string path;
    {
        SimLine line;
        std::string error;
        ASSERT_EQ(line.Open(error), 0) << error;
        ASSERT_EQ(line.PlaceLink(link, error), 0) << error;
        path = line.Path();
        EXPECT_EQ(LinkTarget(link), path);
    }
    struct stat gone {};
    EXPECT_EQ(lstat(link.c_str(), &gone), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(SimLine, LeavesALinkAloneThatNoLongerPointsToIt)
{
    TempDir dir;
    const std::string link = dir / "bus";
    {
        SimLine line;
        std::string error;
        ASSERT_EQ(line.Open(error), 0) << error;
        ASSERT_EQ(line.PlaceLink(link, error), 0) << error;
        // Another simulator took the name over.
        ASSERT_EQ(unlink(link.c_str()), 0);
        ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);
    }
    EXPECT_EQ(LinkTarget(link), "/dev/null");
}

TEST(SimLine, RefusesToReplaceAFileOrUseAMissingFolder)
{
    TempDir dir;
    const std::string file = dir / "file";
    const int fd = open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);

    SimLine line;
    std::string error;
    ASSERT_EQ(line.Open(error), 0) << error;
    EXPECT_EQ(line.PlaceLink(file, error), -1);
    EXPECT_EQ(error, "'" + file + "' exists and is not a symbolic link");
    struct stat kept {};
    ASSERT_EQ(lstat(file.c_str(), &kept), 0);
    EXPECT_TRUE(S_ISREG(kept.st_mode));

    const std::string nowhere = dir / "missing/bus";
    EXPECT_EQ(line.PlaceLink(nowhere, error), -1);
    EXPECT_EQ(error, "cannot place the link '" + nowhere + "': No such file or directory");
}

} // namespace
