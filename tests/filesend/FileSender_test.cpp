// A file going out a piece at a time: what each step writes, the pauses it
// asks for, the time-out of a line that stops taking bytes, and failures.
#include "filesend/FileSender.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// A file of the test's own, removed afterwards.
class TempFile {
public:
    explicit TempFile(const std::string& content)
    {
        char pattern[] = "/tmp/tamsel-filesend-XXXXXX";
        const int fd = mkstemp(pattern);
        m_path = pattern;
        close(fd);
        std::ofstream(m_path, std::ios::binary) << content;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A line that takes up to `room` bytes in all, then nothing: each refused
// offer uses up the wait the sender gave it on the test's clock.
struct FakeLine {
    std::string taken;
    std::size_t room = std::string::npos;
    int failAfter = -1;  // a write error once this many bytes are in
    long long now = 0;
    int longestWait = 0;

    FileSender::Line Line()
    {
        return {[this](const char* bytes, int length, int waitMs) {
                    longestWait = std::max(longestWait, waitMs);
                    if (failAfter >= 0 && taken.size() >= static_cast<std::size_t>(failAfter))
                        return PortWriteResult{0, EIO};
                    const std::size_t take = std::min<std::size_t>(length, room - taken.size());
                    taken.append(bytes, take);
                    if (take < static_cast<std::size_t>(length))
                        now += waitMs;
                    return PortWriteResult{static_cast<long long>(take), 0};
                },
                [](int length) { return 20LL * length + 500; }};
    }
};

struct SendRun {
    std::vector<std::string> pieces;  // what each step wrote
    std::vector<int> delays;          // the pause after each step
    FileSender::Status status;
};

SendRun SendAll(FileSender& sender, FakeLine& line)
{
    SendRun run{};
    for (int guard = 0; guard < 100000; ++guard) {
        const std::size_t before = line.taken.size();
        int delay = 0;
        run.status = sender.Step(line.now, delay);
        if (run.status != FileSender::Status::kRunning)
            return run;
        run.pieces.push_back(line.taken.substr(before));
        run.delays.push_back(delay);
        line.now += delay;
    }
    ADD_FAILURE() << "the send never ended";
    return run;
}

std::string Bracket(const std::string& line)
{
    return line == "local" ? std::string() : "<" + line + ">";
}

struct PacingCase {
    const char* name;
    FileSender::Mode mode;
    SendPacing pacing;
    std::string content;
    std::vector<std::string> pieces;
    std::vector<int> delays;
};

TEST(FileSender, EachStepWritesItsPieceAndAsksForItsPause)
{
    using M = FileSender::Mode;
    const PacingCase cases[] = {
        {"raw unpaced", M::kBytes, {0, 0}, "ab\ncd", {"ab\ncd"}, {0}},
        {"raw per character", M::kBytes, {5, 0}, "ab\nc", {"a", "b", "\n", "c"}, {5, 5, 5, 5}},
        {"raw per line", M::kBytes, {0, 7}, "ab\ncd\n", {"ab\n", "cd\n"}, {7, 7}},
        {"raw both: a line's last character waits both", M::kBytes, {5, 7}, "a\nb", {"a", "\n", "b"}, {5, 12, 5}},
        {"raw keeps every byte", M::kBytes, {0, 0}, std::string("\0\xff\r\n\r", 5), {std::string("\0\xff\r\n\r", 5)}, {0}},
        {"lines", M::kLines, {0, 3}, "one\r\ntwo\n\nlast", {"<one>", "<two>", "<>", "<last>"}, {3, 3, 3, 3}},
        {"lines per character", M::kLines, {2, 3}, "ab\n", {"<", "a", "b", ">"}, {2, 2, 2, 5}},
        {"a line that gives nothing waits nothing", M::kLines, {0, 3}, "local\nx\n", {"", "<x>"}, {0, 3}},
        {"an empty file", M::kBytes, {5, 5}, "", {}, {}},
    };
    for (const PacingCase& c : cases) {
        TempFile file(c.content);
        FakeLine line;
        FileSender sender(c.mode, c.pacing, line.Line(), Bracket);
        std::string error;
        ASSERT_EQ(sender.Open(file.Path(), error), 0) << error;
        const SendRun run = SendAll(sender, line);
        EXPECT_EQ(run.status, FileSender::Status::kDone) << c.name;
        EXPECT_EQ(run.pieces, c.pieces) << c.name;
        EXPECT_EQ(run.delays, c.delays) << c.name;
        EXPECT_EQ(sender.Done(), static_cast<long long>(c.content.size())) << c.name;
        EXPECT_EQ(sender.Written(), static_cast<long long>(line.taken.size())) << c.name;
    }
}

TEST(FileSender, ALineThatStopsTakingBytesTimesOutAndSaysHowManyWentOut)
{
    for (const SendPacing pacing : {SendPacing{0, 0}, SendPacing{1, 0}}) {
        TempFile file(std::string(100, 'x'));
        FakeLine line;
        line.room = 30;
        FileSender sender(FileSender::Mode::kBytes, pacing, line.Line(), Bracket);
        std::string error;
        ASSERT_EQ(sender.Open(file.Path(), error), 0);
        const SendRun run = SendAll(sender, line);
        EXPECT_EQ(run.status, FileSender::Status::kTimedOut) << pacing.charDelayMs;
        EXPECT_EQ(sender.Written(), 30);
        // The piece in hand: the whole file unpaced, one character paced.
        EXPECT_EQ(sender.TimeoutMs(), pacing.charDelayMs ? 20 + 500 : 20 * 100 + 500);
        EXPECT_LE(line.longestWait, FileSender::kStepWaitMs) << "no step may hold the window longer";
        EXPECT_LT(sender.Done(), 100);
    }
}

TEST(FileSender, AWriteErrorEndsTheSendWithItsReason)
{
    TempFile file("abcdef\n");
    FakeLine line;
    line.failAfter = 2;
    FileSender sender(FileSender::Mode::kBytes, {1, 0}, line.Line(), Bracket);
    std::string error;
    ASSERT_EQ(sender.Open(file.Path(), error), 0);
    const SendRun run = SendAll(sender, line);
    EXPECT_EQ(run.status, FileSender::Status::kWriteFailed);
    EXPECT_EQ(sender.WriteError(), EIO);
    EXPECT_EQ(sender.Written(), 2);
}

} // namespace
