#pragma once

#include <string>

// The detail text of a port message box: the device path and the reason the
// operating system gave, in words a user can act on. The message itself keeps
// the system's device name; these facts only go into the detail.

// For a failed open of path with errno err.
std::string OpenFailureDetail(const std::string& path, int err);

// For a device name that maps to no path.
std::string UnmappedDetail(const char* name);

// path followed by the system's own text for err.
std::string SystemDetail(const std::string& path, int err);
