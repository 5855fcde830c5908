#pragma once

#include <string>

// The rates the setup dialog offers, in its order, ended by a 0 entry: the
// profile's baud index, the command line and the directives all read rates
// against this one table.
inline constexpr int kBaudRates[] = {300, 1200, 9600, 19200, 38400, 57600, 115200, 0};
inline constexpr int kRateCount = 7;
static_assert(sizeof kBaudRates / sizeof kBaudRates[0] == kRateCount + 1);

// "9600 bps": a rate as the status pane and the setup dialog's list show it.
std::string RateText(int rate);

// "300, 1200, ... or 115200", for messages that say which rates there are.
std::string RateList();
