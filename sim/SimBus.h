#pragma once

#include "sim/FaultInjector.h"
#include "sim/NodeEncoder.h"
#include "sim/RequestFramer.h"
#include "sim/SimNode.h"
#include "sim/VersionMode.h"

#include <cstdint>
#include <vector>

namespace sim {

// The simulated bus without its line: the nodes, the framer that hears the
// requests and the fault injector. Bytes go in, the
// pieces to write come out; time is given by the caller, so the bus itself
// never waits.
//
// Every node that a packet addresses answers it, in the order the nodes were
// listed, in the framing version the packet came in. Traffic reports go out in
// the fixed version, or in Auto in the version last heard (1.1 before any).
class SimBus {
public:
    SimBus(const std::vector<int>& nodeIds, VersionMode mode, std::vector<FaultSpec> faults,
           int pauseMs);

    void Hear(const unsigned char* bytes, std::size_t count, int64_t nowMs,
              std::vector<LinePiece>& out);
    void Expire(int64_t nowMs, std::vector<LinePiece>& out);
    int64_t Deadline() const { return m_framer.Deadline(); }

    // The next traffic message: per node in turn a 16-bit and a 32-bit live
    // register report, each pair followed by a burst.
    void Traffic(std::vector<LinePiece>& out);

    std::size_t NodeCount() const { return m_nodes.size(); }
    const SimNode& Node(std::size_t index) const { return m_nodes[index]; }

private:
    void Answer(const std::vector<HeardPacket>& packets, std::vector<LinePiece>& out);
    void Send(std::size_t node, const std::string& statement, FrameVersion version,
              std::vector<LinePiece>& out);
    FrameVersion TrafficVersion() const;

    VersionMode m_mode;
    RequestFramer m_framer;
    FaultInjector m_faults;
    std::vector<SimNode> m_nodes;
    FrameVersion m_lastHeard = FrameVersion::V11;
    uint32_t m_trafficTick = 0;
    std::vector<HeardPacket> m_heard;
};

} // namespace sim
