#pragma once

#include "sim/WireVersion.h"

#include <memory>
#include <string>
#include <vector>

class CXrateOV;

// Frames a node's statements with the project's own protocol converters, one
// per version, each constructed with the node's ID as its own node ID, so the
// sender field of every payload is the node's. The converters' IDs are fixed
// for their lifetime: a node that changes its ID gets a new encoder.
class NodeEncoder {
public:
    explicit NodeEncoder(int nodeId);
    ~NodeEncoder();

    NodeEncoder(const NodeEncoder&) = delete;
    NodeEncoder& operator=(const NodeEncoder&) = delete;

    int NodeId() const { return m_nodeId; }

    // The framed packet of one statement; empty when the encoder produced none.
    std::vector<unsigned char> Encode(const std::string& statement, WireVersion version);

private:
    int m_nodeId;
    std::unique_ptr<CXrateOV> m_v10;
    std::unique_ptr<CXrateOV> m_v11;
};
