#pragma once

#include <termios.h>

// The line settings the port runs with: the rate, 8 data bits, no parity, one
// stop bit and raw bytes, every other setting as the device had it.

// The termios speed for a rate in bits per second; false when there is none.
bool RateToSpeed(int baud, speed_t& speed);

// current with the rate (for input and output alike), 8N1 and raw mode applied. Raw mode also clears
// output XON/XOFF, which on this platform is on by default and would swallow
// the bytes 0x11 and 0x13 of binary traffic, and sets CLOCAL, so that the
// carrier-detect line never hangs up the port (it has no say on the line the
// system was made for).
termios MakeLineSettings(const termios& current, speed_t speed);

// Whether the settings read back from the device hold everything that
// MakeLineSettings asked for; a driver may take only part of a change.
bool LineSettingsTaken(const termios& wanted, const termios& got);

// The same but for the rate, for a rate set apart from termios (LineRate.h).
bool LineFrameTaken(const termios& wanted, const termios& got);
