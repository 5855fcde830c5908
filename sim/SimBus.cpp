#include "sim/SimBus.h"

#include <cstdio>
#include <utility>

namespace sim {

namespace {

constexpr uint32_t kTrafficCycle = 3; // reply16, reply32, burst

} // namespace

SimBus::SimBus(const std::vector<int>& nodeIds, VersionMode mode, std::vector<FaultSpec> faults,
               int pauseMs)
    : m_mode(mode), m_framer(mode), m_faults(std::move(faults), pauseMs)
{
    for (int id : nodeIds)
        m_nodes.emplace_back(id);
}

void SimBus::Hear(const unsigned char* bytes, std::size_t count, int64_t nowMs,
                  std::vector<LinePiece>& out)
{
    m_heard.clear();
    m_framer.Hear(bytes, count, nowMs, m_heard);
    Answer(m_heard, out);
}

void SimBus::Expire(int64_t nowMs, std::vector<LinePiece>& out)
{
    m_heard.clear();
    m_framer.Expire(nowMs, m_heard);
    Answer(m_heard, out);
}

void SimBus::Answer(const std::vector<HeardPacket>& packets, std::vector<LinePiece>& out)
{
    for (const HeardPacket& packet : packets) {
        m_lastHeard = packet.version;
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            const std::string statement = m_nodes[i].Answer(
                packet.destination, packet.payload.data(), static_cast<int>(packet.payload.size()));
            if (!statement.empty())
                Send(i, statement, packet.version, out);
        }
    }
}

void SimBus::Send(std::size_t node, const std::string& statement, FrameVersion version,
                  std::vector<LinePiece>& out)
{
    EncodedReply reply = EncodeReply(statement, m_nodes[node].Id(), version);
    // A node only says what its own state allows, so a refusal is a fault of
    // the simulator itself: said on its standard error, never as a box.
    if (!reply.refusal.empty())
        std::fprintf(stderr, "orvane-sim: node %d: %s\n", m_nodes[node].Id(), reply.refusal.c_str());
    if (!reply.packet.empty())
        m_faults.Apply(std::move(reply.packet), version, out);
}

FrameVersion SimBus::TrafficVersion() const
{
    switch (m_mode) {
    case VersionMode::V10:
        return FrameVersion::V10;
    case VersionMode::V11:
        return FrameVersion::V11;
    case VersionMode::Auto:
        break;
    }
    return m_lastHeard;
}

void SimBus::Traffic(std::vector<LinePiece>& out)
{
    if (m_nodes.empty())
        return;
    const uint32_t cycle = m_trafficTick / kTrafficCycle;
    const uint32_t step = m_trafficTick % kTrafficCycle;
    ++m_trafficTick;
    const std::size_t node = cycle % m_nodes.size();
    std::string statement;
    if (step < 2) {
        statement = m_nodes[node].TrafficReport(step == 1);
    } else {
        char burst[96];
        // Values that tell the words apart: the cycle, its negation, a scaled
        // count, a marker pattern and the node whose turn it is.
        std::snprintf(burst, sizeof burst, "burst %u 0x%X %u 0x%X %d", cycle, 0u - cycle,
                      cycle * 1000u, 0xA5000000u | (cycle & 0xFFFFu), m_nodes[node].Id());
        statement = burst;
    }
    Send(node, statement, TrafficVersion(), out);
}

} // namespace sim
