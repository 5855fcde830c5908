#pragma once

#include <cstdint>

// The millisecond tick count that stamps raw-mode records: milliseconds of a
// monotonic clock, 32 bits, wrapping. Tests install a source of their own so
// the stamps they check are known.

using TickSource = uint32_t (*)();

uint32_t TickCount();

// Installs a source (nullptr restores the monotonic clock) and returns the previous one.
TickSource SetTickSource(TickSource source);
