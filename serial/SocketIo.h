#pragma once

#include "serial/PortIo.h"

#include <string>

// Writing to a non-blocking socket the way the line writes to a device: all
// length bytes unless the connection fails or timeoutMs runs out. A peer that
// has gone gives an error, never the signal that would end the process.
// (Defined in PortIo.cpp, beside WriteWithin, whose loop it shares.)
PortWriteResult SendWithin(int fd, const char* bytes, long long length, long long timeoutMs);

// The errno values with which a socket tells that the connection is gone.
bool IsConnectionLost(int err);

// The detail of a lost connection to where: the OS's reason, or that the
// server closed it (err 0).
std::string ConnectionLostDetail(const std::string& where, int err);
