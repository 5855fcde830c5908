#include "bench/rig/LineSource.h"

#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Waits up to a second for the line's queue to reach count bytes.
bool PendingReaches(const testsupport::PseudoTerminal& pty, int count)
{
    for (int i = 0; i < 1000 && pty.Pending() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return pty.Pending() >= count;
}

TEST(PseudoTerminal, CountsTheBytesNoReaderHasTaken)
{
    testsupport::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    EXPECT_EQ(pty.Pending(), 0);
    ASSERT_EQ(write(pty.Master(), "hello", 5), 5);
    EXPECT_TRUE(PendingReaches(pty, 5));

    const int reader = open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(reader, 0);
    char taken[5];
    EXPECT_EQ(read(reader, taken, sizeof taken), 5);
    close(reader);
    EXPECT_EQ(pty.Pending(), 0);
}

// Nobody reads: the line fills and refuses the rest, which is counted, not
// retried; every byte due is either taken or dropped.
TEST(FeedAtRate, DropsWhatTheLineRefuses)
{
    testsupport::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    const Traffic raw(TrafficKind::kRaw);
    const FeedResult fed = FeedAtRate(pty.Master(), raw, 8.0 * 1024 * 1024, 0.1, 1000);
    EXPECT_GT(fed.written, 0);
    EXPECT_GT(fed.dropped, 0);
    EXPECT_EQ(fed.written + fed.dropped, fed.records * raw.RecordSize());
    EXPECT_TRUE(PendingReaches(pty, 1));
    EXPECT_LE(pty.Pending(), fed.written);
}

// A reader that keeps up: nothing dropped, and what it read is records 0 to
// records - 1 in order.
TEST(FeedAtRate, LosesNothingWhenTheReaderKeepsUp)
{
    testsupport::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    const int reader = open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::atomic<bool> reading{true};
    std::string got;
    std::thread drain([&] {
        char buffer[4096];
        while (reading.load() || pty.Pending() > 0) {
            pollfd entry{reader, POLLIN, 0};
            if (poll(&entry, 1, 10) > 0) {
                const ssize_t n = read(reader, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, static_cast<std::size_t>(n));
            }
        }
    });
    const Traffic raw(TrafficKind::kRaw);
    const FeedResult fed = FeedAtRate(pty.Master(), raw, 64.0 * 1024, 0.2, 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    reading = false;
    drain.join();
    close(reader);

    EXPECT_EQ(fed.dropped, 0);
    EXPECT_GT(fed.records, 0);
    ASSERT_EQ(static_cast<long long>(got.size()), fed.records * raw.RecordSize());
    std::string record(16, '\0');
    for (long long i = 0; i < fed.records; ++i) {
        raw.Record(i, reinterpret_cast<unsigned char*>(record.data()));
        ASSERT_EQ(got.compare(static_cast<std::size_t>(i * 16), 16, record), 0) << "record " << i;
    }
}

TEST(FeedSingles, WritesOneLetterAtATimeWithTheGapsBetween)
{
    testsupport::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    const std::vector<RigClock::time_point> sent = FeedSingles(pty.Master(), 4, 2, 3);
    ASSERT_EQ(sent.size(), 4u);
    for (std::size_t i = 1; i < sent.size(); ++i)
        EXPECT_GE(sent[i] - sent[i - 1], std::chrono::milliseconds(2));
    ASSERT_TRUE(PendingReaches(pty, 4));
    const int reader = open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
    char letters[4];
    EXPECT_EQ(read(reader, letters, sizeof letters), 4);
    close(reader);
    EXPECT_EQ(std::string(letters, 4), "abcd");
}

} // namespace
