#pragma once

#include "sim/VersionMode.h"

#include <cstdint>
#include <vector>

namespace sim {

// Damages what the bus sends, on request, so that the receive side's repair,
// checksum and fill handling can be watched. Each fault has its own period: it
// strikes every Nth packet that it applies to. Length and checksum damage
// apply to version 1.1 packets only (version 1.0 has no complement or checksum
// to notice them by); fill and split apply to every packet.
//
// State: one packet counter per fault, and which header byte the next length
// fault damages (it alternates between the length byte and its complement, so
// both ways of repairing are seen).

enum class FaultKind { Length, Checksum, Fill, Split };

struct FaultSpec {
    FaultKind kind;
    int every = 1;  // strike every Nth eligible packet, N >= 1
};

// Bytes to write, after a pause of pauseMs from the end of the previous write.
struct LinePiece {
    std::vector<unsigned char> bytes;
    int pauseMs = 0;
};

inline constexpr int kFillBytes = 3;

class FaultInjector {
public:
    FaultInjector(std::vector<FaultSpec> faults, int pauseMs);

    // Turns one framed packet into the pieces that go on the line.
    void Apply(std::vector<unsigned char> packet, FrameVersion version, std::vector<LinePiece>& out);

private:
    bool Strikes(std::size_t fault, FrameVersion version);
    void DamageLength(std::vector<unsigned char>& packet);

    std::vector<FaultSpec> m_faults;
    std::vector<int> m_counts;
    int m_pauseMs;
    bool m_damageComplementNext = false;
};

} // namespace sim
