#include "sim/NodeEncoder.h"

#include "orvane/StatementFramer.h"
#include "orvane/TransmitMessages.h"

namespace sim {

namespace {

class CollectedRefusal final : public RefusalSink {
public:
    explicit CollectedRefusal(std::string& into) : m_into(into) {}
    void Refuse(const char* text, const char* caption) override
    {
        m_into = std::string(caption) + ": " + text;
    }

private:
    std::string& m_into;
};

} // namespace

EncodedReply EncodeReply(const std::string& statement, int nodeId, FrameVersion version)
{
    EncodedReply reply;
    CollectedRefusal refusals(reply.refusal);
    unsigned char packet[kStatementBufferSize];
    const int length = FrameStatement(statement.c_str(), version, nodeId, refusals, packet);
    if (length > 0)
        reply.packet.assign(packet, packet + length);
    return reply;
}

} // namespace sim
