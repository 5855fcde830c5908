#pragma once

#include "orvane/TransmitMessages.h"

// The payload of every addressed command: which numbers follow the
// destination, the usage message when they do not, and how they are laid out
// behind the command byte. Values go on the wire as the low bits their field
// holds; register values and addresses little-endian, bulk words big-endian.

// The length byte holds the payload length.
inline constexpr int kMaxPayload = 255;
// Bulk words that fit behind the four header bytes of a bulk payload.
inline constexpr int kMaxBulkWords = (kMaxPayload - 4) / 2;
// Profile text that fits behind the command byte and the sender.
inline constexpr int kMaxProfileText = kMaxPayload - 2;

struct PayloadRequest {
    const char* arguments;    // the statement right after the destination word
    const char* commandWord;  // lower-cased, for messages
    int ownNodeId;
    RefusalSink& refusals;   // where a refusal goes
    unsigned char* payload;   // room for kMaxPayload bytes
};

inline constexpr int kBurstValues = 5;

// The burst payload: five 32-bit values read from request.arguments, which is
// the statement right after the command word (a burst has no destination).
// Returns its length, or shows the refusal and returns -1.
int BuildBurstPayload(const PayloadRequest& request);

// Builds the payload of an addressed command (every code but nop, nops and
// burst) and returns its length, or shows the refusal and returns -1.
int BuildPayload(int code, const PayloadRequest& request);
