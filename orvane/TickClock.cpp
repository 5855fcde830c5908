#include "orvane/TickClock.h"

#include <chrono>

namespace {

uint32_t MonotonicMilliseconds()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

TickSource g_source = MonotonicMilliseconds;

} // namespace

uint32_t TickCount()
{
    return g_source();
}

TickSource SetTickSource(TickSource source)
{
    const TickSource previous = g_source;
    g_source = source ? source : MonotonicMilliseconds;
    return previous;
}
