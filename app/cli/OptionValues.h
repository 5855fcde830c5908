#pragma once

#include <string_view>

// Values that the command line and the headless directives share, read as
// the menus and the setup dialog offer them. Letters may be in any case.

// Longest pause or wait a run accepts: an hour.
inline constexpr int kMaxWaitMs = 3600000;

// "on" or "off"; false for anything else.
bool ReadSwitch(std::string_view text, bool& on);

// n of "COMn", n from 1 to 20 as the setup dialog lists them; 0 otherwise.
int ReadPortName(std::string_view text);

// A rate in bits per second that a line may be asked for (50 to 4000000), or 0.
int ReadLineRate(std::string_view text);

// Decimal milliseconds from 0 to kMaxWaitMs.
bool ReadMilliseconds(std::string_view text, int& ms);
