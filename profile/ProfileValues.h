#pragma once

#include <cstddef>

// How the values a settings profile holds become the run's settings: the port
// name, the rate and the two conversion indices. Whatever a profile file
// holds reaches these rules, so they are kept free of Qt and fuzzed on their
// own; the setup dialog object and the frame's LoadSettings use them.

// The buffer a stored port name is read into: 19 characters and the terminator.
inline constexpr std::size_t kStoredPortNameSize = 20;
inline constexpr const char* kDefaultPortName = "COM1";

// The stored name, or the default for one that does not fit the buffer:
// no name the system writes is that long, so a cut-off piece would mean nothing.
const char* StoredPortName(const char* stored, std::size_t length);

// The port index (0 is COM1) of the number after "COM" in name; 0 without
// "COM", for a number below 1, or for no name.
int PortIndexFromName(const char* name);

// The index of the baud-rate table entry nearest to rate; of two equally near
// entries the first, smaller one.
int NearestBaudIndex(int rate);

// The other rate stored beside the profile's rate key: used when it is a
// line rate that the table lacks and whose nearest table entry is the one
// the rate key chose (a profile whose rate key was changed since, by hand or
// by an older program, means the table rate); 0 otherwise.
int StoredOtherRate(int stored, int baudIndex);

// The device name "\\.\COMn" of a port index, cut to fit size.
void FormatDeviceName(char* buffer, std::size_t size, int portIndex);
