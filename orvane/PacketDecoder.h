#pragma once

#include "orvane/TextBuffer.h"

// Renders one received Orvane packet as one report line (or, for register
// packets in raw mode, one time-stamped record) appended to text, and keeps
// NodeTable current: the sender is marked present, register replies store
// their value.
//
// The payload is read only as far as payloadLength goes: a field beyond it
// reads as 0, so a short packet never shows or stores bytes of the checksum
// or of an earlier packet. With updateNodeTable false (a packet that failed
// its checksum) the packet is rendered alike but NodeTable is left alone.
void DecodeOrvanePacket(TextBuffer& text, int destination, int payloadLength,
                        const unsigned char* payload, bool updateNodeTable);
