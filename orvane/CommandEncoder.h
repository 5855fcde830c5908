#pragma once

#include "orvane/TransmitMessages.h"

// One statement of the Orvane command language to one payload. The encoder
// keeps nothing between statements; refusals are reported at once and the
// statement then yields nothing.

// Command and destination words are read up to this many characters.
inline constexpr int kMaxWordLength = 199;
inline constexpr int kNopFill = 1;
inline constexpr int kNopsFill = 32;

// Turns statement into a payload written to payload (room for kMaxPayload
// bytes) and returns the destination byte (0x20 to 0xBF); or returns 0 for a
// zero fill, payloadLength then being the number of fill bytes and payload
// untouched; or returns -1 when the statement yields nothing (blank, or
// refused after handing its message to refusals).
int ParseCommand(const char* statement, int& payloadLength, unsigned char* payload, int ownNodeId,
                 RefusalSink& refusals);
