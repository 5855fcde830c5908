#include "bench/rig/Receiver.h"

#include "bench/rig/ProcessStats.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

bool OutputReaches(const Receiver& receiver, long long count)
{
    for (int i = 0; i < 2000 && receiver.OutputCount() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return receiver.OutputCount() >= count;
}

TEST(Receiver, KeepsOnlyTheOutputAfterStartKeepingAndAllOfStandardError)
{
    Receiver receiver({"sh", "-c", "printf early; printf oops >&2; read line; printf late; cat >/dev/null"});
    ASSERT_TRUE(receiver.Started());
    ASSERT_TRUE(OutputReaches(receiver, 5));
    receiver.StartKeeping();
    // Ending the input lets "read" return; "late" follows, then cat ends.
    const int status = receiver.Finish(2000);
    EXPECT_TRUE(WIFEXITED(status));
    std::vector<Receiver::Arrival> arrivals;
    EXPECT_EQ(receiver.TakeKept(&arrivals), "late");
    ASSERT_FALSE(arrivals.empty());
    EXPECT_EQ(arrivals.back().end, 4);
    EXPECT_EQ(receiver.Errors(), "oops");
    EXPECT_EQ(receiver.OutputCount(), 9);
}

TEST(Receiver, EndsAReceiverThatIgnoresTheEndOfItsInput)
{
    Receiver receiver({"sleep", "30"});
    ASSERT_TRUE(receiver.Started());
    const int status = receiver.Finish(0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST(Receiver, ReportsAProgramThatCannotStart)
{
    Receiver receiver({"/nonexistent/receiver"});
    ASSERT_TRUE(receiver.Started());  // the fork worked; the exec did not
    const int status = receiver.Finish(2000);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 127);
    EXPECT_NE(receiver.Errors().find("cannot start /nonexistent/receiver"), std::string::npos);
}

TEST(ProcessStats, CpuTimeGrowsWithWorkAndPeakRssIsKnown)
{
    const double before = CpuSeconds(getpid());
    volatile unsigned sink = 0;
    const RigClock::time_point end = RigClock::now() + std::chrono::seconds(5);
    while (CpuSeconds(getpid()) - before < 0.01 && RigClock::now() < end)
        for (int i = 0; i < 100000; ++i)
            sink = sink + 1;
    EXPECT_GE(CpuSeconds(getpid()) - before, 0.01);
    EXPECT_GT(PeakRssKiB(getpid()), 0);
    EXPECT_EQ(PeakRssKiB(-1), 0);
}

} // namespace
