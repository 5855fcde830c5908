#include "log/AsyncFileWriter.h"
#include "log/SessionLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

class LogFiles : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tamsel-log-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    static std::string Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string folder;
};

TEST_F(LogFiles, EveryByteReachesTheFileInOrderAndAppendingKeepsWhatWasThere)
{
    const std::string path = folder + "/session.log";
    std::ofstream(path) << "earlier run\r\n";
    AsyncFileWriter writer;
    std::string error;
    ASSERT_EQ(writer.Open(path, false, error), 0) << error;
    std::string expected = "earlier run\r\n";
    for (int i = 0; i < 20000; ++i) {
        const std::string piece = "line " + std::to_string(i) + (i % 3 ? "\r\n" : "");
        writer.Append(piece);
        expected += piece;
    }
    writer.Flush();
    EXPECT_EQ(Contents(path), expected) << "a flush puts everything on its way before the close";
    writer.Append(std::string("\0\xff", 2));
    EXPECT_EQ(writer.Close(), 0);
    EXPECT_EQ(Contents(path), expected + std::string("\0\xff", 2));

    ASSERT_EQ(writer.Open(path, true, error), 0) << error;
    writer.Append("anew");
    EXPECT_EQ(writer.Close(), 0);
    EXPECT_EQ(Contents(path), "anew");
}

TEST_F(LogFiles, FailuresGiveTheOperatingSystemsReason)
{
    AsyncFileWriter writer;
    std::string error;
    EXPECT_EQ(writer.Open(folder + "/missing/session.log", false, error), -1);
    EXPECT_EQ(error, "No such file or directory");

    // A full disk: the first failed write ends the writing and is kept.
    ASSERT_EQ(writer.Open("/dev/full", false, error), 0) << error;
    writer.Append("lost to a full disk");
    writer.Flush();
    EXPECT_EQ(writer.Failure(), "No space left on device");
    writer.Append("dropped after the failure");
    writer.Flush();
    EXPECT_EQ(writer.Close(), -1);
    EXPECT_EQ(writer.Failure(), "No space left on device");
}

TEST_F(LogFiles, StampsBeginEveryLineWhereverTheTextIsSplit)
{
    const std::string path = folder + "/stamped.log";
    SessionLog log;
    std::string error;
    ASSERT_EQ(log.Open(path, true, true, error), 0) << error;
    for (const char* piece : {">> get16 5 3", "\r", "\n", "Rep16 Reg.3\r\nfrom", " ID:05\r\n", "mreply16\n"})
        log.Append(piece);
    EXPECT_EQ(log.Close(), 0);

    const std::string stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
    const std::regex expected(stamp + ">> get16 5 3\r\n" + stamp + "Rep16 Reg.3\r\n" + stamp + "from ID:05\r\n" +
                              stamp + "mreply16\n");
    EXPECT_TRUE(std::regex_match(Contents(path), expected)) << Contents(path);
}

} // namespace
