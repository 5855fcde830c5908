#pragma once

#include "bench/rig/Traffic.h"

#include <string>

// What the receiver's output must hold for the records a trial sent:
//   same: the bytes themselves (a raw terminal, Tamsel's Raw conversion);
//   ov11: the report text that Tamsel's Orvane 1.1 conversion makes of them;
//   none: nothing is checked (the window shows its report on screen only).
enum class Expect { kSame, kOv11Text, kNone };

struct OutputVerdict {
    long long expectedBytes = 0;
    long long matchedBytes = 0;  // the longest prefix of the expected output that arrived intact
    long long extraBytes = 0;    // output beyond the expected length
    bool Intact() const { return matchedBytes == expectedBytes && extraBytes == 0; }
};

// Compares output with what records 0 to records - 1, sent in order with
// nothing lost, must give. The output of readiness probes may come late on a
// busy machine, after the trial's output began to be kept: whole copies of
// it at the start are skipped (no record's output begins like a probe's).
OutputVerdict CheckOutput(Expect expect, const Traffic& traffic, long long records,
                          const std::string& output);

// What the receiver shows for one readiness probe.
std::string ProbeOutput(Expect expect, const Traffic& traffic);

// The number of bytes at the start of output that are whole copies of probe.
std::size_t ProbeEchoLength(const std::string& output, const std::string& probe);
