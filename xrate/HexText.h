#pragma once

#include "xrate/TextChars.h"

// Hexadecimal text as the Hex and Bin conversions read and write it.

// Reads the two characters c1 c2 as one byte, the way a hexadecimal integer is
// read with a field width of two characters: leading white space is skipped
// without using the width, a '+' or '-' uses one character of it, and a "0x" or
// "0X" prefix uses it all, so no digit can follow. Returns false when no digit
// can be taken; otherwise stores the low 8 bits of the value, negated after '-'.
// Hex receive and Bin transmit both rely on this one rule, so a command that
// Bin sends and text that Hex receives are read alike.
bool ReadHexPair(char c1, char c2, unsigned char& value);

// Writes the two uppercase hexadecimal digits of byte to out[0] and out[1].
void WriteHexByte(unsigned char byte, char* out);
