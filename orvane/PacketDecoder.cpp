#include "orvane/PacketDecoder.h"

#include "orvane/NodeTable.h"
#include "orvane/NodeTableObserver.h"
#include "orvane/TickClock.h"
#include "xrate/TextChars.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

inline constexpr int kBurstDestination = 0x20;
inline constexpr int kBurstWords = 5;

// The received payload; positions beyond its length read as 0.
class Payload {
public:
    Payload(const unsigned char* bytes, int length) : m_bytes(bytes), m_length(length) {}

    int Length() const { return m_length; }
    const unsigned char* Bytes() const { return m_bytes; }
    uint32_t Byte(int i) const { return i < m_length ? m_bytes[i] : 0u; }
    uint32_t Little16(int i) const { return Byte(i) | Byte(i + 1) << 8; }
    uint32_t Little24(int i) const { return Little16(i) | Byte(i + 2) << 16; }
    uint32_t Little32(int i) const { return Little24(i) | Byte(i + 3) << 24; }

private:
    const unsigned char* m_bytes;
    int m_length;
};

struct Packet {
    int destination;
    Payload payload;
    const char* destinationText;
    int source;
    bool updateNodeTable;
};

int Signed(uint32_t bits)
{
    return static_cast<int32_t>(bits);
}

// A 6-byte payload carries a 32-bit register value, any other length 16 bits.
uint32_t RegisterValue(const Payload& payload)
{
    return payload.Length() == 6 ? payload.Little32(2) : payload.Little16(2);
}

// The 16-bit value sign-extended; bits 16-31 of a wider value give way to bit 15.
int SignedView(uint32_t value)
{
    return Signed((value & 0x8000u) ? (value | 0xFFFF0000u) : value);
}

int RegisterNumber(const Packet& packet)
{
    return static_cast<int>(packet.payload.Byte(0) & 0x0F);
}

int DestinationNode(const Packet& packet)
{
    return packet.destination & 0x3F;
}

void StoreRegister(const Packet& packet, bool wide, uint32_t value)
{
    if (!packet.updateNodeTable || !NodeTable)
        return;
    NodeEntry& node = NodeTable[packet.source];
    RegisterSlot& slot = (wide ? node.reg32 : node.reg16)[RegisterNumber(packet)];
    slot.value = Signed(value);
    slot.valid = 1;
    if (NodeTableObserver* observer = CurrentNodeTableObserver())
        observer->OnRegisterStore({TickCount(), packet.source, DestinationNode(packet), wide,
                                   RegisterNumber(packet), slot.value});
}

// The lines below are written field by field rather than by formatted
// printing: one is made for every packet, and on a busy bus printing them was
// most of the receive time. The printf form of each line stands beside it.

// "<name> Reg.%X"
void AppendRegisterName(TextBuffer& text, const char* name, const Packet& packet)
{
    text.Append(name);
    text.Append(" Reg.");
    text.AppendHex(static_cast<uint32_t>(RegisterNumber(packet)), 1);
}

// "0x%04X(%5d,% 6d)"
void AppendValue16(TextBuffer& text, uint32_t value)
{
    text.Append("0x");
    text.AppendHex(value, 4);
    text.Append("(");
    text.AppendDecimal(Signed(value), 5);
    text.Append(",");
    text.AppendBlankSignedDecimal(SignedView(value), 6);
    text.Append(")");
}

// "0x%08X(%9d)"
void AppendValue32(TextBuffer& text, uint32_t value)
{
    text.Append("0x");
    text.AppendHex(value, 8);
    text.Append("(");
    text.AppendDecimal(Signed(value), 9);
    text.Append(")");
}

// "<lead>%02X %s": the sender's ID and the destination text.
void AppendSender(TextBuffer& text, const char* lead, const Packet& packet)
{
    text.Append(lead);
    text.AppendHex(static_cast<uint32_t>(packet.source), 2);
    text.Append(" ");
    text.Append(packet.destinationText);
}

// "<kind>%d,%d,%d,%d[,%d]\r\n": tick, sender, destination node, register[, value].
void AppendRawRecord(TextBuffer& text, const char* kind, const Packet& packet, bool withValue,
                     uint32_t value)
{
    text.Append(kind);
    text.AppendDecimal(Signed(TickCount()));
    text.Append(",");
    text.AppendDecimal(packet.source);
    text.Append(",");
    text.AppendDecimal(DestinationNode(packet));
    text.Append(",");
    text.AppendDecimal(RegisterNumber(packet));
    if (withValue) {
        text.Append(",");
        text.AppendDecimal(Signed(value));
    }
    text.Append("\r\n");
}

void RenderReset(TextBuffer& text, const Packet& packet)
{
    text.Format("Device reset by ID:%02X %s\r\n", packet.source, packet.destinationText);
}

void RenderRequestProfile(TextBuffer& text, const Packet& packet)
{
    text.Format("Request Profile by ID:%02X %s\r\n", packet.source, packet.destinationText);
}

// The profile text fills a field as wide as it may be long; a NUL in it ends
// it early and blanks make up the field on the left.
void RenderReplyProfile(TextBuffer& text, const Packet& packet)
{
    const int width = packet.payload.Length() > 2 ? packet.payload.Length() - 2 : 0;
    const char* profile =
        width > 0 ? reinterpret_cast<const char*>(packet.payload.Bytes() + 2) : "";
    text.Format("Reply Profile from ID:%02X %s '%*.*s'\r\n", packet.source,
                packet.destinationText, width, width, profile);
}

void RenderSetId(TextBuffer& text, const Packet& packet)
{
    text.Format("SetID from ID:%02X %s set to %02X\r\n", packet.source, packet.destinationText,
                packet.payload.Byte(2));
}

// Byte 1 of a SetID reply is the old ID, shown whole.
void RenderSetIdReply(TextBuffer& text, const Packet& packet)
{
    text.Format("SetID reply to %s, %02X changed to %02X\r\n", packet.destinationText,
                packet.payload.Byte(1), packet.payload.Byte(2));
}

// "Set16 Reg.%X to 0x%04X(%5d,% 6d) by ID:%02X %s\r\n"
void RenderSet16(TextBuffer& text, const Packet& packet)
{
    const uint32_t value = RegisterValue(packet.payload);
    if (RawMode) {
        AppendRawRecord(text, "S,116,", packet, true, value);
        return;
    }
    AppendRegisterName(text, "Set16", packet);
    text.Append(" to ");
    AppendValue16(text, value);
    AppendSender(text, " by ID:", packet);
    text.Append("\r\n");
}

// "Set32 Reg.%X to 0x%08X(%9d) by ID:%02X %s\r\n"
void RenderSet32(TextBuffer& text, const Packet& packet)
{
    const uint32_t value = RegisterValue(packet.payload);
    if (RawMode) {
        AppendRawRecord(text, "S,132,", packet, true, value);
        return;
    }
    AppendRegisterName(text, "Set32", packet);
    text.Append(" to ");
    AppendValue32(text, value);
    AppendSender(text, " by ID:", packet);
    text.Append("\r\n");
}

// "<name> Reg.%X by ID:%02X %s\r\n"
void RenderGet(TextBuffer& text, const Packet& packet, const char* name, const char* rawKind)
{
    if (RawMode) {
        AppendRawRecord(text, rawKind, packet, false, 0);
        return;
    }
    AppendRegisterName(text, name, packet);
    AppendSender(text, " by ID:", packet);
    text.Append("\r\n");
}

void RenderGet16(TextBuffer& text, const Packet& packet)
{
    RenderGet(text, packet, "Get16", "G,216,");
}

void RenderGet32(TextBuffer& text, const Packet& packet)
{
    RenderGet(text, packet, "Get32", "G,232,");
}

// "Rep16 Reg.%X = 0x%04X(%5d,% 6d) from ID:%02X %s\r\n"
void RenderReply16(TextBuffer& text, const Packet& packet)
{
    const uint32_t value = RegisterValue(packet.payload);
    if (RawMode) {
        AppendRawRecord(text, "R,316,", packet, true, value);
    } else {
        AppendRegisterName(text, "Rep16", packet);
        text.Append(" = ");
        AppendValue16(text, value);
        AppendSender(text, " from ID:", packet);
        text.Append("\r\n");
    }
    StoreRegister(packet, false, value);
}

// "Rep32 Reg.%X = 0x%08X(%9d) from ID:%02X %s\r\n"
void RenderReply32(TextBuffer& text, const Packet& packet)
{
    const uint32_t value = RegisterValue(packet.payload);
    if (RawMode) {
        AppendRawRecord(text, "R,332,", packet, true, value);
    } else {
        AppendRegisterName(text, "Rep32", packet);
        text.Append(" = ");
        AppendValue32(text, value);
        AppendSender(text, " from ID:", packet);
        text.Append("\r\n");
    }
    StoreRegister(packet, true, value);
}

// Command bytes 0x80-0x8F: the operation in bits 1-3, the access width in bit 0.
void RenderMemory(TextBuffer& text, const Packet& packet)
{
    static const char* const names[8] = {"mread", "mreply", "mwrite", "mand",
                                         "mor",   "mxor",   "m??",    "m??"};
    const uint32_t command = packet.payload.Byte(0);
    const char* name = names[(command - 0x80) / 2];
    const bool wide = (command & 0x01) != 0;
    // "%s%d from ID:%02X %s: addr:0x%05X", then for all but a read or its
    // reply " val:0x%04X(% 6d)" (16 bits) or " val:0x%02X(% 4d)" (8 bits); then "\n".
    text.Append(name);
    text.Append(wide ? "16" : "8");
    AppendSender(text, " from ID:", packet);
    text.Append(": addr:0x");
    text.AppendHex(packet.payload.Little24(2), 5);
    if (command > 0x81) {
        const uint32_t value = wide ? packet.payload.Little16(5) : packet.payload.Byte(5);
        text.Append(" val:0x");
        text.AppendHex(value, wide ? 4 : 2);
        text.Append("(");
        text.AppendBlankSignedDecimal(Signed(value), wide ? 6 : 4);
        text.Append(")");
    }
    text.Append("\n");
}

// The cell "0x%04X(%5d), " of one 16-bit word, written directly: a 6-byte
// packet can ask for 255 of them, and a formatted print per cell would make
// such packets the slowest thing on the line.
void AppendBulkCell(TextBuffer& text, uint16_t word)
{
    char cell[] = "0x0000(    0), ";
    for (int i = 0; i < 4; ++i)
        cell[5 - i] = kHexDigits[(word >> (4 * i)) & 0x0F];
    int at = 11;
    for (unsigned rest = word; rest != 0; rest /= 10)
        cell[at--] = static_cast<char>('0' + rest % 10);
    text.Append(cell, sizeof cell - 1);
}

// As many cells as the count byte says, whatever the payload holds.
void RenderBulkWords(TextBuffer& text, const Packet& packet, const char* label)
{
    const Payload& payload = packet.payload;
    const int count = static_cast<int>(payload.Byte(3));
    // "%s from ID:%02X %s: S:%d Len:%d> "
    text.Append(label);
    AppendSender(text, " from ID:", packet);
    text.Append(": S:");
    text.AppendDecimal(Signed(payload.Byte(2)));
    text.Append(" Len:");
    text.AppendDecimal(count);
    text.Append("> ");
    for (int i = 0; i < count; ++i)
        AppendBulkCell(text, static_cast<uint16_t>(payload.Byte(4 + 2 * i) << 8 |
                                                   payload.Byte(5 + 2 * i)));
    text.Append("\r\n");
}

// A bulk set shows under the label "BulkGet", like the bulk get line; report
// readers go by these labels, so they stay as they are.
void RenderBulkSet(TextBuffer& text, const Packet& packet)
{
    RenderBulkWords(text, packet, "BulkGet");
}

void RenderBulkGet(TextBuffer& text, const Packet& packet)
{
    text.Format("BulkGet from ID:%02X %s: S:%d Len:%d\r\n", packet.source,
                packet.destinationText, Signed(packet.payload.Byte(2)),
                Signed(packet.payload.Byte(3)));
}

void RenderBulkReply(TextBuffer& text, const Packet& packet)
{
    RenderBulkWords(text, packet, "BulkReply");
}

// After "CMD:" stands the destination byte; the command byte opens the dump.
void RenderUnknown(TextBuffer& text, const Packet& packet)
{
    // "Unknown packet from ID:%02X %s CMD:%02X: "
    AppendSender(text, "Unknown packet from ID:", packet);
    text.Append(" CMD:");
    text.AppendHex(static_cast<uint32_t>(packet.destination), 2);
    text.Append(": ");
    text.AppendHexCells(packet.payload.Bytes(), packet.payload.Length());
    text.Append("\r\n");
}

using Renderer = void (*)(TextBuffer&, const Packet&);

constexpr std::array<Renderer, 256> kRenderers = [] {
    std::array<Renderer, 256> table{};
    table.fill(RenderUnknown);
    table[0x00] = RenderReset;
    table[0x02] = RenderRequestProfile;
    table[0x03] = RenderReplyProfile;
    table[0x04] = RenderSetId;
    table[0x05] = RenderSetIdReply;
    for (int i = 0; i < 16; ++i) {
        table[0x20 + i] = RenderSet16;
        table[0x30 + i] = RenderSet32;
        table[0x40 + i] = RenderGet16;
        table[0x50 + i] = RenderGet32;
        table[0x60 + i] = RenderReply16;
        table[0x70 + i] = RenderReply32;
        table[0x80 + i] = RenderMemory;
    }
    table[0xA0] = RenderBulkSet;
    table[0xA1] = RenderBulkGet;
    table[0xA2] = RenderBulkReply;
    return table;
}();

// A burst has neither command byte nor sender: five 32-bit words, shown
// whatever the payload length says.
void RenderBurst(TextBuffer& text, const Payload& payload)
{
    // "Burst Transfer Packet (%d bytes): \r\n  ", then "% 12d(%08X)" per word
    text.Append("Burst Transfer Packet (");
    text.AppendDecimal(payload.Length());
    text.Append(" bytes): \r\n  ");
    for (int i = 0; i < kBurstWords; ++i) {
        const uint32_t word = payload.Little32(4 * i);
        text.AppendBlankSignedDecimal(Signed(word), 12);
        text.Append("(");
        text.AppendHex(word, 8);
        text.Append(")");
    }
    text.Append("\r\n");
}

inline constexpr std::size_t kDestinationTextSize = 32;

// "to ID:%02X", "BCAST(by %02X)" or "Unknown destination %02X".
void FormatDestination(char (&out)[kDestinationTextSize], int destination)
{
    const char* prefix = "Unknown destination ";
    const char* suffix = "";
    int shown = destination & 0xFF;
    switch (destination & 0xC0) {
    case 0x40:
        prefix = "to ID:";
        shown = destination & 0x3F;
        break;
    case 0x80:
        prefix = "BCAST(by ";
        suffix = ")";
        shown = destination & 0x3F;
        break;
    default:
        break;
    }
    std::size_t at = std::strlen(prefix);
    std::memcpy(out, prefix, at);
    out[at++] = kHexDigits[shown >> 4];
    out[at++] = kHexDigits[shown & 0x0F];
    std::memcpy(out + at, suffix, std::strlen(suffix) + 1);
}

} // namespace

void DecodeOrvanePacket(TextBuffer& text, int destination, int payloadLength,
                        const unsigned char* payload, bool updateNodeTable)
{
    const Payload received(payload, payloadLength);
    if (destination == kBurstDestination) {
        RenderBurst(text, received);
        return;
    }

    char destinationText[kDestinationTextSize];
    FormatDestination(destinationText, destination);
    if (payloadLength <= 0) {
        text.Append("Unknown VOID packet ");
        text.Append(destinationText);
        text.Append("\r\n");
        return;
    }

    const Packet packet{destination, received, destinationText,
                        static_cast<int>(received.Byte(1) & 0x3F), updateNodeTable};
    if (updateNodeTable && NodeTable) {
        NodeTable[packet.source].valid = 1;
        if (NodeTableObserver* observer = CurrentNodeTableObserver())
            observer->OnNodePresent(packet.source);
    }
    kRenderers[received.Byte(0)](text, packet);
}
