#pragma once

#include "bench/rig/Trial.h"

#include <string>

enum class RigTest { kCeiling, kRate, kCpu, kLatency };

struct RigOptions {
    std::string label = "receiver";
    RigTest test = RigTest::kCeiling;
    RigSetup setup;
    double rate = 1024.0 * 1024.0;      // bytes per second (rate and cpu tests)
    double seconds = 2.0;               // of feed per trial
    int trials = 3;                     // rate test
    double startRate = 256.0 * 1024.0;  // ceiling search: first rate, doubled until a loss
    double maxRate = 64.0 * 1024.0 * 1024.0;
    int refineSteps = 3;                // ceiling search: halvings of the last interval
    int samples = 150;                  // latency test
    int gapMinMs = 40;
    int gapMaxMs = 70;
};

// Reads the command line; on a mistake prints it with the usage and returns false.
bool ParseRigOptions(int argc, char** argv, RigOptions& options);
