#pragma once

#include "sim/FaultInjector.h"
#include "sim/VersionMode.h"

#include <string>
#include <vector>

namespace sim {

// How a simulated bus is set up: from orvane-sim's command line, or by a
// program that starts the simulator inside itself.
struct SimOptions {
    std::vector<int> nodes{1, 5, 12};
    std::string link;              // symbolic link to the device; empty for none
    VersionMode version = VersionMode::Auto;
    int trafficMs = 0;             // period of traffic messages; 0 for none
    std::vector<FaultSpec> faults;
    int pauseMs = 60;              // between the pieces of a split packet
    bool untilEof = false;         // orvane-sim only: stop when standard input ends
    bool help = false;
};

inline constexpr int kMaxPauseMs = 10000;
inline constexpr int kMaxTrafficMs = 3600000;

// Reads orvane-sim's arguments (argv[0] is the program). Returns 0, or -1 with
// a one-line message in error.
int ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

// The --help text.
const char* SimUsage();

} // namespace sim
