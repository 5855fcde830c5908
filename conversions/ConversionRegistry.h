#pragma once

#include "xrate/CXrate.h"

#include <memory>
#include <string>
#include <string_view>

// The five conversions, described once. A conversion's index is its place in
// both conversion menus and the value the settings profile stores; the menus,
// the profile, the command line and its usage text, the directives and the
// session's switching all read this table, and nothing else knows a
// conversion by name.
struct ConversionKind {
    const char* optionName;  // how the command line and the directives name it
    const char* longName;    // what the usage text adds after a name that does not say it, or nullptr
    int rxCommand;           // its item in the receive menu
    int txCommand;           // its item in the transmit menu
    const char* rxLabel;     // the status pane's text while it receives
    const char* txLabel;     // the status pane's text while it transmits
    std::unique_ptr<CXrate> (*make)(void* owner);  // a new converter owned by owner
    // Received text gets time stamps: the Orvane displays render and stamp their own lines.
    bool stampsReceived;
    // A quiet pause ends a stamped line (bytes shown as numbers have no line ends of their own).
    bool pauseEndsLine;
    // A file is sent as its bytes (otherwise line by line, as typed commands).
    bool sendsFileBytes;
};

inline constexpr int kConversionCount = 5;
inline constexpr int kConversionRaw = 0;
inline constexpr int kConversionHex = 1;
inline constexpr int kConversionBin = 2;
inline constexpr int kConversionOV10 = 3;
inline constexpr int kConversionOV11 = 4;

// The conversion at index (0 to kConversionCount - 1).
const ConversionKind& ConversionAt(int index);

// The index of a conversion named in any case of letters, or -1.
int ConversionIndex(std::string_view name);

// The receive or transmit menu command of the conversion at index; 0, which
// no handler takes, for an index outside the table.
int ConversionCommand(bool receive, int index);

// The index of the conversion whose receive or transmit item command is, with
// receive telling which; -1 for any other command.
int ConversionOfCommand(int command, bool& receive);

// "raw, hex, bin, ov10 or ov11", for messages that say which names there are.
std::string ConversionList();

// The same list with each long name, for the usage text:
// "raw, hex, bin, ov10 (Orvane 1.0) or ov11 (Orvane 1.1)".
std::string ConversionUsageList();

// The transmit menu's item for a line end (a LineEnd value), whose items
// follow the conversions'.
int LineEndCommand(int index);
