#pragma once

#include <string_view>

// Values that the command line and the headless directives share, read as
// the menus and the setup dialog offer them. Letters may be in any case.

inline constexpr int kConversionNameCount = 5;
// The conversions in the order of both conversion menus, so a name's position
// is the index the settings profile stores.
inline constexpr const char* kConversionNames[kConversionNameCount] = {"raw", "hex", "bin", "ov10",
                                                                       "ov11"};
inline constexpr const char* kConversionList = "raw, hex, bin, ov10 or ov11";
inline constexpr const char* kRateList = "300, 1200, 9600, 19200, 38400, 57600 or 115200";

// Longest pause or wait a run accepts: an hour.
inline constexpr int kMaxWaitMs = 3600000;

// The index of a conversion name, or -1.
int ConversionIndex(std::string_view name);

// "on" or "off"; false for anything else.
bool ReadSwitch(std::string_view text, bool& on);

// n of "COMn", n from 1 to 20 as the setup dialog lists them; 0 otherwise.
int ReadPortName(std::string_view text);

// A rate the setup dialog offers, or 0.
int ReadBaudRate(std::string_view text);

// Decimal milliseconds from 0 to kMaxWaitMs.
bool ReadMilliseconds(std::string_view text, int& ms);
