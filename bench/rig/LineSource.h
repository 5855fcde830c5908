#pragma once

#include "bench/rig/Receiver.h"
#include "bench/rig/Traffic.h"

#include <vector>

// The far end of the line, behaving like a UART without flow control: every
// tick it hands the pseudo-terminal the bytes that became due since the last
// one with a single non-blocking write, and whatever the line does not take
// then is lost, counted as dropped, never retried. Records are due whole, so
// a trial without drops sends records 0 to records - 1 exactly.
struct FeedResult {
    long long records = 0;       // records due over the run
    long long written = 0;       // bytes the line took
    long long dropped = 0;       // bytes it refused
    long long lateTicks = 0;     // ticks more than two ticks late (the rig itself was starved);
                                 // the time they lost is left out, not made up in a burst
    double seconds = 0.0;
};

FeedResult FeedAtRate(int master, const Traffic& traffic, double bytesPerSecond, double seconds,
                      int tickUs);

// Single bytes with quiet gaps (drawn evenly from gapMinMs to gapMaxMs), for
// latency: the time each byte was handed to the line. Byte i is 'a' + i % 26.
std::vector<RigClock::time_point> FeedSingles(int master, int count, int gapMinMs, int gapMaxMs);

// Asks for a real-time priority for the calling thread, so that the source's
// ticks stay on time on a busy machine; false when the system refuses.
bool TryRealtimePriority();
void DropRealtimePriority();
