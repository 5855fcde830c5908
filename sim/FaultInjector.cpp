#include "sim/FaultInjector.h"

#include <iterator>
#include <utility>

namespace sim {

namespace {

// Flipping the top bit makes a short length implausible on one side only,
// which is the damage the receive side can repair.
constexpr unsigned char kLengthDamage = 0x80;
constexpr unsigned char kChecksumDamage = 0xFF;

} // namespace

FaultInjector::FaultInjector(std::vector<FaultSpec> faults, int pauseMs)
    : m_faults(std::move(faults)), m_counts(m_faults.size(), 0), m_pauseMs(pauseMs)
{
}

bool FaultInjector::Strikes(std::size_t fault, FrameVersion version)
{
    const FaultKind kind = m_faults[fault].kind;
    if ((kind == FaultKind::Length || kind == FaultKind::Checksum) && version != FrameVersion::V11)
        return false;
    return ++m_counts[fault] % m_faults[fault].every == 0;
}

void FaultInjector::DamageLength(std::vector<unsigned char>& packet)
{
    packet[m_damageComplementNext ? 2 : 1] ^= kLengthDamage;
    m_damageComplementNext = !m_damageComplementNext;
}

void FaultInjector::Apply(std::vector<unsigned char> packet, FrameVersion version,
                          std::vector<LinePiece>& out)
{
    bool fill = false;
    bool split = false;
    for (std::size_t i = 0; i < m_faults.size(); ++i) {
        if (!Strikes(i, version))
            continue;
        switch (m_faults[i].kind) {
        case FaultKind::Length:
            DamageLength(packet);
            break;
        case FaultKind::Checksum:
            packet.back() ^= kChecksumDamage;
            break;
        case FaultKind::Fill:
            fill = true;
            break;
        case FaultKind::Split:
            split = true;
            break;
        }
    }
    // A zero fill is not a packet, so it goes out whole and first.
    if (fill)
        out.push_back({std::vector<unsigned char>(kFillBytes, 0x00), 0});
    if (!split) {
        out.push_back({std::move(packet), 0});
        return;
    }
    // Pieces: the destination byte, the rest of the header, the payload and
    // checksum, so the receive side meets each framing step in its own chunk.
    const auto header = std::size_t(PayloadOffset(version));
    const std::size_t cuts[] = {0, 1, header, packet.size()};
    for (std::size_t c = 0; c + 1 < std::size(cuts); ++c) {
        if (cuts[c] >= cuts[c + 1])
            continue;
        const auto first = packet.begin();
        out.push_back({std::vector<unsigned char>(first + static_cast<std::ptrdiff_t>(cuts[c]),
                                                  first + static_cast<std::ptrdiff_t>(cuts[c + 1])),
                       fill || c > 0 ? m_pauseMs : 0});
    }
}

} // namespace sim
