#pragma once

#include "serial/CComPort.h"

#include <string>
#include <string_view>
#include <vector>

// A sequence of DTR/RTS levels and pauses that resets a board on the line
// ("Pulse reset"), written as a person types it: items separated by commas,
// each "dtr on", "dtr off", "rts on", "rts off" or a pause in milliseconds
// ("250" or "250 ms"); letters in any case. For example the usual
// auto-reset of an Arduino-style board: "dtr off, rts off, 250, dtr on, rts on".
struct SignalStep {
    // A pause when pauseMs >= 0; otherwise signal goes to on.
    LineSignal signal = LineSignal::kDtr;
    bool on = false;
    int pauseMs = -1;
};

inline constexpr int kMaxSignalSteps = 32;
inline constexpr int kMaxSignalPauseMs = 10000;

// The sequence a profile without its own choice uses.
inline constexpr char kDefaultResetSequence[] = "dtr off, rts off, 250, dtr on, rts on";

// Reads text. 0, or -1 with a one-line message in error naming the item at fault.
int ReadSignalSequence(std::string_view text, std::vector<SignalStep>& steps, std::string& error);

// The text of steps in the form ReadSignalSequence reads.
std::string SignalSequenceText(const std::vector<SignalStep>& steps);
