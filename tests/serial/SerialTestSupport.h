#pragma once

#include "serial/CComPort.h"
#include "serial/PortMap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

inline constexpr char kCom3[] = "\\\\.\\COM3";

// The port's timings without the close wait, which protects nothing in a test.
inline PortTimings NoCloseWait()
{
    PortTimings timings;
    timings.closeWaitMs = 0;
    return timings;
}

// A map that sends COM3 to path.
inline PortMap MapCom3To(const std::string& path)
{
    PortMap map;
    map.SetUserPath("COM3", path);
    return map;
}

// Milliseconds since start on the monotonic clock.
inline long long MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// Equal byte strings, or where they part (long streams would flood the log).
inline testing::AssertionResult SameBytes(const std::string& got, const std::string& want)
{
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    if (at == got.size() && at == want.size())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size()
                                       << "; first difference at byte " << at;
}
