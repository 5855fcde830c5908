#pragma once

#include <string>
#include <string_view>

// Where a device name of the system ("\\.\COMn") lives on this machine.
//
// State: for each of COM1..COM20 an optional path from the user's map (the
// settings section "ports", keys "COM1".."COM20") and an optional path from
// the command line. Filled once by the desktop layer before the first open;
// read by the port when it opens. Lookup order: command line, user map, then
// the defaults COM1-4 = /dev/ttyS0-3, COM5-12 = /dev/ttyUSB0-7,
// COM13-20 = /dev/ttyACM0-7. A name that is already a path ("/dev/...") is
// used as it is. A place may also be a network line's URL (LineKinds.h); the
// map keeps it as text like any path.

inline constexpr int kMappedPorts = 20;

class PortMap {
public:
    // key is "COMn" with n in 1..20 (the letters in any case). Returns false,
    // changing nothing, for any other key or an empty path.
    bool SetUserPath(std::string_view key, std::string path);

    // assignment is a command-line argument "COMn=path". Returns false,
    // changing nothing, when it is not of that form.
    bool SetOverride(std::string_view assignment);

    // The device path for a device name, or empty when the name maps to none.
    std::string Resolve(const char* deviceName) const;

    // n of "\\.\COMn" (any n > 0), or 0 when the name is not of that form.
    static int PortNumber(const char* deviceName);

    // The built-in path of COMn, or empty beyond COM20.
    static std::string DefaultPath(int port);

private:
    static int PortFromKey(std::string_view key);

    std::string m_user[kMappedPorts];
    std::string m_override[kMappedPorts];
};
