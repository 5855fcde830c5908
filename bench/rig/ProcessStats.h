#pragma once

#include <sys/types.h>

// Figures of a running process, read while it runs.

// CPU time of all its threads so far, those that have ended included, in
// seconds (to the nanosecond through the process's CPU clock, to the clock
// tick from /proc where that clock is not offered).
double CpuSeconds(pid_t pid);

// Its peak resident set size so far (VmHWM), in KiB; 0 when unknown.
long PeakRssKiB(pid_t pid);
