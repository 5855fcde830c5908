#pragma once

#include <cstdint>
#include <string>

namespace sim {

// One simulated bus node: its ID, 16 16-bit and 16 32-bit registers, a small
// byte memory and a profile text. It answers a request the way a real node
// would, as a statement of the command language addressed to the sender; the
// bus frames that statement with the project's own encoder, so the node never
// builds bytes itself.
//
// State changes only through requests (set, write, bulkset, setid, reset) and
// through traffic reports, which advance register 15 of either width like a
// live counter. reset restores the power-on values but keeps the ID, as a node
// keeps its ID in non-volatile storage.

inline constexpr int kSimRegisters = 16;
inline constexpr int kSimMemorySize = 512;     // bytes; addresses wrap around
inline constexpr int kSimMemoryWords = kSimMemorySize / 2;
inline constexpr int kSimMaxBulkWords = 125;   // (255 - 4) / 2: what one reply payload holds
inline constexpr int kSimLiveRegister = 15;

class SimNode {
public:
    explicit SimNode(int id);

    int Id() const { return m_id; }

    // Answers one packet heard on the bus: the reply statement, or an empty
    // text when the node stays silent (not addressed, its own packet, a command
    // that needs no answer, a payload too short for its command).
    std::string Answer(int destination, const unsigned char* payload, int length);

    // A broadcast report of the live register of one width, advanced first.
    std::string TrafficReport(bool wide);

    void PowerOn();

    uint16_t Reg16(int r) const { return m_reg16[r & 0x0F]; }
    uint32_t Reg32(int r) const { return m_reg32[r & 0x0F]; }
    uint8_t Byte(uint32_t address) const { return m_memory[address % kSimMemorySize]; }
    uint16_t Word(uint32_t address) const;
    const std::string& Profile() const { return m_profile; }

private:
    using Handler = std::string (SimNode::*)(int sender, const unsigned char* p, int length);
    struct Command {
        int first;      // command byte range
        int last;
        int minLength;  // payload bytes the command needs
        Handler answer;
    };

    std::string OnReset(int sender, const unsigned char* p, int length);
    std::string OnRequestProfile(int sender, const unsigned char* p, int length);
    std::string OnSetId(int sender, const unsigned char* p, int length);
    std::string OnSet16(int sender, const unsigned char* p, int length);
    std::string OnSet32(int sender, const unsigned char* p, int length);
    std::string OnGet16(int sender, const unsigned char* p, int length);
    std::string OnGet32(int sender, const unsigned char* p, int length);
    std::string OnRead(int sender, const unsigned char* p, int length);
    std::string OnWrite(int sender, const unsigned char* p, int length);
    std::string OnBulkSet(int sender, const unsigned char* p, int length);
    std::string OnBulkGet(int sender, const unsigned char* p, int length);

    static const Command kCommands[];

    bool Addressed(int destination) const;
    void SetWord(uint32_t address, uint16_t value);

    int m_id;
    uint16_t m_reg16[kSimRegisters];
    uint32_t m_reg32[kSimRegisters];
    uint8_t m_memory[kSimMemorySize];
    std::string m_profile;
};

} // namespace sim
