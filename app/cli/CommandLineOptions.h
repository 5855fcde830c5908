#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// What tamsel's command line asks for. Port, rate, conversions and the
// menus' switches are choices made after the settings profile has been loaded, as if
// from the setup dialog and the menus; a value not given leaves the profile's.
struct CommandLineOptions {
    bool help = false;
    bool version = false;
    bool headless = false;
    bool demo = false;
    bool busView = false;       // open the bus view window at start-up
    bool listPorts = false;     // list the serial devices present and end
    bool json = false;          // the listing as JSON
    int port = 0;               // n of COMn, 0 when not given
    std::string portPath;       // --port given a device path: COM1 leads there (also in portMap)
    int baud = 0;               // a rate from 50 to 4000000, 0 when not given
    int rxConversion = -1;      // conversion index, -1 when not given
    int txConversion = -1;
    std::map<int, bool> switches;  // a check item's command and the mark asked for (--echo, --receive, ...)
    std::optional<bool> dtr;    // DTR at every open of the port; not given: as the line has it
    std::optional<bool> rts;
    std::vector<std::string> portMap;  // "COMn=PATH" in the order given; later ones win
    std::string profile;               // a settings file to use instead of the user's
    int lingerMs = 500;                // headless: quiet time before ending after the input
    std::string logPath;               // the session log, empty for none
    bool logNew = false;               // start the log anew rather than append
    bool logStamps = false;            // each log line begins with its local time
    std::string capturePath;           // the raw capture, empty for none
    std::string replayPath;            // a capture to replay instead of opening a port
    double replaySpeed = 1;            // times the recorded pace; 0: as fast as it goes
    int reportLimit = 0;               // characters the report keeps, 0 when not given
};

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // cannot start, a port that cannot be opened, output lost
inline constexpr int kExitUsage = 2;    // a wrong option or input line

// Reads tamsel's arguments (argv[0] is the program). Returns 0, or -1 with a
// one-line message in error.
int ParseCommandLine(int argc, const char* const* argv, CommandLineOptions& options,
                     std::string& error);

// The --help text and the program's version.
const char* TamselUsage();
const char* TamselVersion();
