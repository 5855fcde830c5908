#include "sim/NodeEncoder.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"

NodeEncoder::NodeEncoder(int nodeId)
    : m_nodeId(nodeId), m_v10(std::make_unique<CXrateOV>(nullptr, nodeId)),
      m_v11(std::make_unique<CXrateOV11>(nullptr, nodeId))
{
}

NodeEncoder::~NodeEncoder() = default;

std::vector<unsigned char> NodeEncoder::Encode(const std::string& statement, WireVersion version)
{
    // The encoder splits its text in place, so it gets a copy.
    std::vector<char> text(statement.begin(), statement.end());
    text.push_back('\0');
    int length = -1;
    CXrateOV& encoder = version == WireVersion::V11 ? *m_v11 : *m_v10;
    const char* bytes = encoder.XrateSend(text.data(), length);
    if (!bytes || length <= 0)
        return {};
    const auto* first = reinterpret_cast<const unsigned char*>(bytes);
    return std::vector<unsigned char>(first, first + length);
}
