#include "sim/SimNode.h"

#include <cstdarg>
#include <cstdio>

namespace sim {

namespace {

constexpr int kBroadcastKind = 0x80;
constexpr int kUnicastKind = 0x40;
constexpr int kKindMask = 0xC0;
constexpr int kIdMask = 0x3F;

__attribute__((format(printf, 1, 2))) std::string Statement(const char* format, ...)
{
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

uint32_t Address(const unsigned char* p)
{
    return p[2] | (p[3] << 8) | (static_cast<uint32_t>(p[4]) << 16);
}

} // namespace

const SimNode::Command SimNode::kCommands[] = {
    {0x00, 0x00, 2, &SimNode::OnReset},
    {0x02, 0x02, 2, &SimNode::OnRequestProfile},
    {0x04, 0x04, 3, &SimNode::OnSetId},
    {0x20, 0x2F, 4, &SimNode::OnSet16},
    {0x30, 0x3F, 6, &SimNode::OnSet32},
    {0x40, 0x4F, 2, &SimNode::OnGet16},
    {0x50, 0x5F, 2, &SimNode::OnGet32},
    {0x80, 0x81, 5, &SimNode::OnRead},
    {0x84, 0x84, 6, &SimNode::OnWrite},
    {0x85, 0x85, 7, &SimNode::OnWrite},
    {0xA0, 0xA0, 4, &SimNode::OnBulkSet},
    {0xA1, 0xA1, 4, &SimNode::OnBulkGet},
};

SimNode::SimNode(int id) : m_id(id)
{
    PowerOn();
}

void SimNode::PowerOn()
{
    for (int r = 0; r < kSimRegisters; ++r) {
        m_reg16[r] = static_cast<uint16_t>((m_id << 8) | r);
        m_reg32[r] = (static_cast<uint32_t>(m_id) << 24) | static_cast<uint32_t>(r);
    }
    for (int a = 0; a < kSimMemorySize; ++a)
        m_memory[a] = static_cast<uint8_t>(a + m_id);
    char profile[80];
    std::snprintf(profile, sizeof profile,
                  "Orvane sim node %d: 16x16-bit, 16x32-bit registers, %d-byte memory", m_id,
                  kSimMemorySize);
    m_profile = profile;
}

uint16_t SimNode::Word(uint32_t address) const
{
    return static_cast<uint16_t>(Byte(address) | (Byte(address + 1) << 8));
}

void SimNode::SetWord(uint32_t address, uint16_t value)
{
    m_memory[address % kSimMemorySize] = static_cast<uint8_t>(value);
    m_memory[(address + 1) % kSimMemorySize] = static_cast<uint8_t>(value >> 8);
}

bool SimNode::Addressed(int destination) const
{
    const int kind = destination & kKindMask;
    return kind == kBroadcastKind || (kind == kUnicastKind && (destination & kIdMask) == m_id);
}

std::string SimNode::Answer(int destination, const unsigned char* payload, int length)
{
    if (length < 2 || !Addressed(destination))
        return {};
    const int sender = payload[1] & kIdMask;
    if (sender == m_id)
        return {};
    for (const Command& command : kCommands) {
        if (payload[0] >= command.first && payload[0] <= command.last)
            return length >= command.minLength ? (this->*command.answer)(sender, payload, length)
                                                : std::string();
    }
    return {};
}

std::string SimNode::OnReset(int, const unsigned char*, int)
{
    PowerOn();
    return {};
}

std::string SimNode::OnRequestProfile(int sender, const unsigned char*, int)
{
    return Statement("repprof %d %s", sender, m_profile.c_str());
}

std::string SimNode::OnSetId(int sender, const unsigned char* p, int)
{
    // An ID field holds six bits; a node refuses a number it cannot take.
    if (p[2] > kIdMask)
        return {};
    const int old = m_id;
    m_id = p[2];
    return Statement("setidreply %d %d %d", sender, old, m_id);
}

std::string SimNode::OnSet16(int, const unsigned char* p, int)
{
    m_reg16[p[0] & 0x0F] = static_cast<uint16_t>(p[2] | (p[3] << 8));
    return {};
}

std::string SimNode::OnSet32(int, const unsigned char* p, int)
{
    m_reg32[p[0] & 0x0F] = p[2] | (p[3] << 8) | (p[4] << 16) | (static_cast<uint32_t>(p[5]) << 24);
    return {};
}

std::string SimNode::OnGet16(int sender, const unsigned char* p, int)
{
    const int r = p[0] & 0x0F;
    return Statement("reply16 %d %d 0x%04X", sender, r, m_reg16[r]);
}

std::string SimNode::OnGet32(int sender, const unsigned char* p, int)
{
    const int r = p[0] & 0x0F;
    return Statement("reply32 %d %d 0x%08X", sender, r, m_reg32[r]);
}

std::string SimNode::OnRead(int sender, const unsigned char* p, int)
{
    const uint32_t address = Address(p);
    if (p[0] & 0x01)
        return Statement("mreply16 %d 0x%06X 0x%04X", sender, address, Word(address));
    return Statement("mreply8 %d 0x%06X 0x%02X", sender, address, Byte(address));
}

std::string SimNode::OnWrite(int, const unsigned char* p, int)
{
    const uint32_t address = Address(p);
    if (p[0] & 0x01)
        SetWord(address, static_cast<uint16_t>(p[5] | (p[6] << 8)));
    else
        m_memory[address % kSimMemorySize] = p[5];
    return {};
}

// Bulk word k is the 16-bit memory word at byte address 2k, so bulk and
// 16-bit memory access see the same data.
std::string SimNode::OnBulkSet(int, const unsigned char* p, int length)
{
    const int start = p[2];
    int count = p[3];
    if (count > (length - 4) / 2)
        count = (length - 4) / 2;
    for (int i = 0; i < count; ++i) {
        const int word = (start + i) % kSimMemoryWords;
        SetWord(2 * word, static_cast<uint16_t>((p[4 + 2 * i] << 8) | p[5 + 2 * i]));
    }
    return {};
}

std::string SimNode::OnBulkGet(int sender, const unsigned char* p, int)
{
    const int start = p[2];
    const int count = p[3];
    if (count > kSimMaxBulkWords)
        return {};
    std::string reply = Statement("bulkreply %d %d %d", sender, start, count);
    for (int i = 0; i < count; ++i)
        reply += Statement(" 0x%04X", Word(2 * ((start + i) % kSimMemoryWords)));
    return reply;
}

std::string SimNode::TrafficReport(bool wide)
{
    if (wide) {
        ++m_reg32[kSimLiveRegister];
        return Statement("reply32 all %d 0x%08X", kSimLiveRegister, m_reg32[kSimLiveRegister]);
    }
    ++m_reg16[kSimLiveRegister];
    return Statement("reply16 all %d 0x%04X", kSimLiveRegister, m_reg16[kSimLiveRegister]);
}

} // namespace sim
