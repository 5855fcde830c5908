#include "orvane/ReceiveFramer.h"

#include "orvane/Checksum11.h"

namespace {

// Kinds 01 (unicast) and 10 (broadcast) and the burst byte are packets to
// decode; kind 11 and the rest of kind 00 are only dumped.
FramerState Classify(unsigned char first)
{
    if (first == 0x20 || (first >= 0x40 && first <= 0xBF))
        return FramerState::Decode;
    return FramerState::Special;
}

// A length of 0x28 or more is taken as implausible.
inline constexpr int kPlausibleLength = 0x28;

} // namespace

bool ReceiveFramer::Push(unsigned char byte, FrameVersion version, TextBuffer& text)
{
    const FramerState previous = ReceiveState;
    if (PacketCount == 0)
        ReceiveState = FramerState::Start;
    PacketBuffer[PacketCount++] = byte;
    if (version == FrameVersion::V11 && PacketCount == 3 &&
        PacketBuffer[1] != (PacketBuffer[2] ^ 0xFF))
        RecoverLength(text);

    switch (ReceiveState) {
    case FramerState::Start:
    case FramerState::Fill:
        if (byte == 0x00) {
            text.Append(".");
            PacketCount = 0;
            ReceiveState = FramerState::Fill;
        } else {
            if (previous == FramerState::Fill)
                text.Append("\r\n");
            ReceiveState = Classify(byte);
        }
        return false;
    case FramerState::Special:
        if (!Complete(version))
            return false;
        text.Format("Unknown Special packet 0x%02X (%d bytes): ", PacketBuffer[0], PacketCount);
        text.AppendHexCells(PacketBuffer, PacketCount);
        text.Append("\r\n");
        PacketCount = 0;
        return false;
    case FramerState::Decode:
        if (!Complete(version))
            return false;
        m_payloadOffset = PayloadOffset(version);
        m_checksumPassed = version == FrameVersion::V10 || ChecksumMatches();
        if (!m_checksumPassed) {
            text.Format("Checksum Error packet 0x%02X (%d bytes): ", PacketBuffer[0],
                        PacketCount);
            text.AppendHexCells(PacketBuffer, PacketCount);
            text.Append("\r\n Cand: ");
        }
        PacketCount = 0;
        return true;
    }
    return false;
}

// Version 1.1, third byte: the length and its complement disagree. A length
// below 0x28 on one side only is taken as the true one; when both are
// plausible the length byte wins; when neither is, the packet is cut to an
// empty payload so framing can catch up.
void ReceiveFramer::RecoverLength(TextBuffer& text)
{
    const int length = PacketBuffer[1];
    const int complement = PacketBuffer[2];
    const int complementLength = complement ^ 0xFF;
    text.Format("Recv:Packet length error %02X-%02X ", length, complement);
    const bool lengthPlausible = length < kPlausibleLength;
    const bool complementPlausible = complementLength < kPlausibleLength;
    if (lengthPlausible && !complementPlausible) {
        PacketBuffer[2] = static_cast<unsigned char>(length ^ 0xFF);
        text.Format("Recovered to %02X-%02X ", PacketBuffer[1], PacketBuffer[2]);
    } else if (!lengthPlausible && complementPlausible) {
        PacketBuffer[1] = static_cast<unsigned char>(complementLength);
        text.Format("Recovered to %02X-%02X ", PacketBuffer[1], PacketBuffer[2]);
    } else if (lengthPlausible) {
        PacketBuffer[2] = static_cast<unsigned char>(length ^ 0xFF);
        text.Format("Cannot recover, use %02X ", length);
    } else {
        PacketBuffer[1] = 0;
        text.Append("Cannot recover, Use 'nops' to recover connection \n");
    }
}

// Only called from the second byte on, when the length byte is this packet's own.
bool ReceiveFramer::Complete(FrameVersion version) const
{
    return PacketCount == PacketBuffer[1] + FrameOverhead(version);
}

bool ReceiveFramer::ChecksumMatches() const
{
    const int length = PacketBuffer[1];
    const int sum = Checksum11(PacketBuffer + 3, length) & 0xFF;
    return sum == PacketBuffer[3 + length];
}
