#pragma once

#include "orvane/Framing.h"
#include "orvane/TransmitMessages.h"

// Room for the largest packet one statement frames, in either version.
inline constexpr int kStatementBufferSize = 260;
static_assert(kStatementBufferSize >= LargestPacket(FrameVersion::V11));

// One statement of the command language to one packet in the framing of
// version, sent as ownNodeId: the header, the payload and, in version 1.1,
// the length's complement and the checksum. Zero fill stays bare in both
// versions. Returns the packet's length in packet (room for
// kStatementBufferSize bytes), or -1 when the statement yields nothing (blank,
// or refused through refusals).
int FrameStatement(const char* statement, FrameVersion version, int ownNodeId,
                   RefusalSink& refusals, unsigned char* packet);
