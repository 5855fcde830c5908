#pragma once

#include "orvane/Framing.h"

#include <string>
#include <vector>

namespace sim {

// A node's statement framed as the node sends it: the node's ID is the sender
// of every payload. Runs on the simulator's thread, so it uses the encoder
// functions alone: no converter, no node table, no message box.
struct EncodedReply {
    std::vector<unsigned char> packet;  // empty when the statement yields nothing
    std::string refusal;                // what the encoder refused, if it did
};

EncodedReply EncodeReply(const std::string& statement, int nodeId, FrameVersion version);

} // namespace sim
