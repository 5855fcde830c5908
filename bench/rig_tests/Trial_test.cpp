#include "bench/rig/Trial.h"

#include <gtest/gtest.h>

namespace {

// A receiver that passes every byte through at once, like a terminal with
// no mapping; the rig left the line raw.
const std::vector<std::string> kPassThrough = {"sh", "-c", "exec cat < {pty}"};

// Every trial here feeds less than the line holds (about 20 KiB), so a
// receiver that a busy machine holds up still loses nothing.
RigSetup QuickSetup(std::vector<std::string> command)
{
    RigSetup setup;
    setup.command = std::move(command);
    setup.quietMs = 50;
    setup.readyTimeoutMs = 3000;
    setup.graceMs = 0;
    return setup;
}

TEST(RunRateTrial, AReceiverThatPassesEveryByteThroughLosesNothing)
{
    const TrialResult trial = RunRateTrial(QuickSetup(kPassThrough), 64.0 * 1024, 0.2);
    EXPECT_TRUE(trial.Passed()) << trial.failure;
    EXPECT_GT(trial.feed.records, 0);
    EXPECT_EQ(trial.output.expectedBytes, trial.feed.written);
    EXPECT_EQ(trial.output.matchedBytes, trial.feed.written);
    EXPECT_GT(trial.startupMs, 0.0);
}

TEST(RunRateTrial, AReceiverThatChangesABytePerLineFails)
{
    const TrialResult trial =
        RunRateTrial(QuickSetup({"sh", "-c", "exec sed -u s/0/o/ < {pty}"}), 64.0 * 1024, 0.1);
    EXPECT_FALSE(trial.Passed());
    EXPECT_EQ(trial.failure.rfind("output matched 0 of ", 0), 0u) << trial.failure;
}

TEST(RunRateTrial, AnOverflowReportOnStandardErrorFailsTheTrial)
{
    RigSetup setup = QuickSetup({"sh", "-c", "echo 'Tamsel::OnReceive: Receive buffer overflowed' >&2; exec cat < {pty}"});
    setup.failStderr = "Receive buffer overflowed";
    const TrialResult trial = RunRateTrial(setup, 64.0 * 1024, 0.1);
    EXPECT_EQ(trial.failure, "standard error: Receive buffer overflowed");
}

TEST(RunRateTrial, ALossThatTheCheckCommandFindsFailsTheTrial)
{
    RigSetup setup = QuickSetup(kPassThrough);
    setup.failIf = "true";
    EXPECT_EQ(RunRateTrial(setup, 64.0 * 1024, 0.1).failure, "loss reported (true)");
    setup.failIf = "false";
    EXPECT_TRUE(RunRateTrial(setup, 64.0 * 1024, 0.1).Passed());
}

TEST(RunRateTrial, AReceiverThatNeverReadsIsToldApart)
{
    RigSetup setup = QuickSetup({"sleep", "30"});
    setup.readyTimeoutMs = 300;
    EXPECT_EQ(RunRateTrial(setup, 64.0 * 1024, 0.1).failure, "receiver never read the line");
}

TEST(RunRateTrial, OrvaneTrafficIsCheckedAgainstTheDecodedText)
{
    RigSetup setup = QuickSetup(kPassThrough);
    setup.traffic = Traffic(TrafficKind::kOv11);
    setup.expect = Expect::kOv11Text;  // cat shows bytes, not decoded text
    EXPECT_FALSE(RunRateTrial(setup, 64.0 * 1024, 0.1).Passed());
    setup.expect = Expect::kSame;
    EXPECT_TRUE(RunRateTrial(setup, 64.0 * 1024, 0.1).Passed());
}

TEST(RunLatencyTrial, MeasuresEveryByteFromWriteToOutput)
{
    const LatencyResult latency = RunLatencyTrial(QuickSetup(kPassThrough), 5, 2, 3);
    ASSERT_EQ(latency.failure, "");
    ASSERT_EQ(latency.milliseconds.size(), 5u);
    for (double ms : latency.milliseconds) {
        EXPECT_GE(ms, 0.0);
        EXPECT_LT(ms, 1000.0);
    }
}

} // namespace
