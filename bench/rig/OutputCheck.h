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
// nothing lost, must give.
OutputVerdict CheckOutput(Expect expect, const Traffic& traffic, long long records,
                          const std::string& output);
