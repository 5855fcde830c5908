#include "capture/CaptureFile.h"
#include "capture/Pcapng.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::vector<unsigned char>> kBlocks = {
    {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42}, {}, {'x'}, std::vector<unsigned char>(515, 0xFF), {0, 1, 2}};

class CaptureFiles : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tamsel-capture-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        path = folder + "/line.pcapng";
        CaptureFile capture;
        std::string error;
        ASSERT_EQ(capture.Open(path, "\\\\.\\COM3", "/dev/ttyUSB0, 115200 bps", 115200, error), 0) << error;
        for (std::size_t i = 0; i < kBlocks.size(); ++i) {
            if (i % 2)
                capture.Written(kBlocks[i].data(), static_cast<int>(kBlocks[i].size()));
            else
                capture.Read(kBlocks[i].data(), static_cast<int>(kBlocks[i].size()));
        }
        ASSERT_EQ(capture.Close(), 0);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string folder;
    std::string path;
};

TEST_F(CaptureFiles, ReadBackGivesEveryBlockWithItsDirectionInOrder)
{
    std::vector<CapturedPacket> packets;
    std::string error;
    ASSERT_EQ(ReadCapture(FileBytes(path), packets, error), 0) << error;
    // An empty write is no block.
    ASSERT_EQ(packets.size(), 4u);
    const std::size_t sources[] = {0, 2, 3, 4};
    for (std::size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(packets[i].bytes, kBlocks[sources[i]]) << i;
        EXPECT_EQ(packets[i].direction,
                  sources[i] % 2 ? CaptureDirection::Outbound : CaptureDirection::Inbound)
            << i;
        if (i > 0) {
            EXPECT_GE(packets[i].microseconds, packets[i - 1].microseconds);
        }
    }
}

TEST_F(CaptureFiles, ACutOffCaptureKeepsTheBlocksBeforeTheCutAndNamesItsOffset)
{
    const std::vector<unsigned char> whole = FileBytes(path);
    std::vector<CapturedPacket> complete;
    std::string error;
    ASSERT_EQ(ReadCapture(whole, complete, error), 0);
    for (std::size_t cut = 28; cut < whole.size(); cut += 7) {
        std::vector<CapturedPacket> packets;
        const std::vector<unsigned char> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        const int result = ReadCapture(part, packets, error);
        if (result == 0)
            continue;  // the cut fell between blocks
        ASSERT_EQ(result, kCaptureDamaged) << cut;
        EXPECT_NE(error.find("byte offset"), std::string::npos) << error;
        ASSERT_LE(packets.size(), complete.size());
        for (std::size_t i = 0; i < packets.size(); ++i)
            EXPECT_EQ(packets[i].bytes, complete[i].bytes) << cut;
    }
    std::vector<CapturedPacket> none;
    const std::vector<unsigned char> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(ReadCapture(text, none, error), kNotACapture);
    EXPECT_TRUE(none.empty());
}

TEST_F(CaptureFiles, TsharkReadsEveryBlockAndItsDirection)
{
    if (std::system("command -v tshark >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "tshark is not installed (scripts/install-deps.sh installs it)";
    const std::string command = "tshark -r '" + path + "' -T fields -e frame.len -e frame.p2p_dir 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    // Received is 1 and sent 0 in tshark's point-to-point direction.
    EXPECT_EQ(out, "6\t1\n1\t1\n515\t0\n3\t1\n");
}

} // namespace
