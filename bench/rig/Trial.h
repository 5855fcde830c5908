#pragma once

#include "bench/rig/LineSource.h"
#include "bench/rig/OutputCheck.h"
#include "bench/rig/Traffic.h"

#include <string>
#include <vector>

// One receiver run against a fresh line: start the receiver on it, wait until
// it reads the line, let its start-up output settle, feed the line, wait until
// everything fed has been taken and the output has gone quiet, then judge.
struct RigSetup {
    std::vector<std::string> command;  // "{pty}" in any argument stands for the line's path
    Traffic traffic{TrafficKind::kRaw};
    Expect expect = Expect::kSame;
    std::string failStderr;  // a receiver that writes this to standard error lost bytes
    std::string failIf;      // a shell command that succeeds when the receiver lost bytes
    int tickUs = 1000;
    int readyTimeoutMs = 15000;
    int quietMs = 300;
    int graceMs = 3000;      // for the receiver to end once its input is closed, before it is terminated
    int watchPid = 0;        // another process whose CPU time is taken with the receiver's (the X server)
};

struct TrialResult {
    std::string failure;     // empty when nothing was lost; otherwise what went wrong
    double startupMs = 0.0;  // from the start of the receiver until it took a probe written after its open
    FeedResult feed;
    OutputVerdict output;
    double cpuSeconds = 0.0; // the receiver's, from the start of the feed until the line is drained
    double watchedCpuSeconds = 0.0;  // the watched process's over the same time
    long peakRssKiB = 0;
    bool realtimeSource = false;  // the source ran at a real-time priority
    bool Passed() const { return failure.empty(); }
};

TrialResult RunRateTrial(const RigSetup& setup, double bytesPerSecond, double seconds);

struct LatencyResult {
    std::string failure;
    std::vector<double> milliseconds;  // per byte, from its write to its arrival in the output
};

LatencyResult RunLatencyTrial(const RigSetup& setup, int samples, int gapMinMs, int gapMaxMs);
