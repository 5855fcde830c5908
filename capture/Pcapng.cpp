#include "capture/Pcapng.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint16_t kOptionEnd = 0;
constexpr std::uint16_t kInterfaceName = 2;
constexpr std::uint16_t kInterfaceDescriptionText = 3;
constexpr std::uint16_t kInterfaceSpeed = 8;
constexpr std::uint16_t kPacketFlags = 2;
constexpr std::uint32_t kInbound = 1;
constexpr std::uint32_t kOutbound = 2;
// The fixed part of an enhanced packet block before its data.
constexpr std::size_t kPacketHeader = 28;

template <typename Number>
void Put(std::string& out, Number value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

void PadToWord(std::string& out)
{
    out.append((4 - out.size() % 4) % 4, '\0');
}

void PutOption(std::string& out, std::uint16_t code, const void* value, std::size_t length)
{
    Put(out, code);
    Put(out, static_cast<std::uint16_t>(length));
    out.append(static_cast<const char*>(value), length);
    PadToWord(out);
}

// Type, total length, body, total length again.
std::string Block(std::uint32_t type, const std::string& body)
{
    std::string block;
    const auto total = static_cast<std::uint32_t>(12 + body.size());
    Put(block, type);
    Put(block, total);
    block += body;
    Put(block, total);
    return block;
}

template <typename Number>
Number Get(const std::vector<unsigned char>& file, std::size_t at)
{
    Number value;
    std::memcpy(&value, file.data() + at, sizeof value);
    return value;
}

std::string AtOffset(const char* what, std::size_t offset)
{
    return std::string(what) + " at byte offset " + std::to_string(offset);
}

} // namespace

std::string SectionHeaderBlock()
{
    std::string body;
    Put(body, kByteOrderMagic);
    Put(body, std::uint16_t{1});
    Put(body, std::uint16_t{0});
    Put(body, std::int64_t{-1});  // section length not given
    return Block(kSectionHeader, body);
}

std::string InterfaceBlock(const std::string& name, const std::string& description,
                           std::uint64_t bitsPerSecond)
{
    std::string body;
    Put(body, kLinkTypeUser0);
    Put(body, std::uint16_t{0});
    Put(body, std::uint32_t{0});  // no snapshot limit
    PutOption(body, kInterfaceName, name.data(), name.size());
    PutOption(body, kInterfaceDescriptionText, description.data(), description.size());
    PutOption(body, kInterfaceSpeed, &bitsPerSecond, sizeof bitsPerSecond);
    Put(body, kOptionEnd);
    Put(body, std::uint16_t{0});
    return Block(kInterfaceDescription, body);
}

std::string PacketBlock(CaptureDirection direction, const unsigned char* bytes, std::size_t count,
                        std::uint64_t microseconds)
{
    std::string body;
    Put(body, std::uint32_t{0});  // the one interface
    Put(body, static_cast<std::uint32_t>(microseconds >> 32));
    Put(body, static_cast<std::uint32_t>(microseconds));
    Put(body, static_cast<std::uint32_t>(count));
    Put(body, static_cast<std::uint32_t>(count));
    body.append(reinterpret_cast<const char*>(bytes), count);
    PadToWord(body);
    const std::uint32_t flags = direction == CaptureDirection::Inbound ? kInbound : kOutbound;
    PutOption(body, kPacketFlags, &flags, sizeof flags);
    Put(body, kOptionEnd);
    Put(body, std::uint16_t{0});
    return Block(kEnhancedPacket, body);
}

int ReadCapture(const std::vector<unsigned char>& file, std::vector<CapturedPacket>& packets,
                std::string& error)
{
    packets.clear();
    if (file.size() < 28 || Get<std::uint32_t>(file, 0) != kSectionHeader ||
        Get<std::uint32_t>(file, 8) != kByteOrderMagic) {
        error = "not a pcapng capture written on this kind of machine";
        return kNotACapture;
    }
    std::size_t at = 0;
    while (at < file.size()) {
        if (file.size() - at < 12) {
            error = AtOffset("the capture is cut off", at);
            return kCaptureDamaged;
        }
        const auto type = Get<std::uint32_t>(file, at);
        const auto total = Get<std::uint32_t>(file, at + 4);
        if (total < 12 || total % 4 != 0) {
            error = AtOffset("the capture is damaged", at);
            return kCaptureDamaged;
        }
        if (total > file.size() - at) {
            error = AtOffset("the capture is cut off", at);
            return kCaptureDamaged;
        }
        if (Get<std::uint32_t>(file, at + total - 4) != total) {
            error = AtOffset("the capture is damaged", at);
            return kCaptureDamaged;
        }
        if (type == kEnhancedPacket) {
            if (total < kPacketHeader + 4) {
                error = AtOffset("the capture is damaged", at);
                return kCaptureDamaged;
            }
            const auto captured = Get<std::uint32_t>(file, at + 20);
            if (captured > total - kPacketHeader - 4) {
                error = AtOffset("the capture is damaged", at);
                return kCaptureDamaged;
            }
            CapturedPacket packet;
            packet.microseconds = (std::uint64_t{Get<std::uint32_t>(file, at + 12)} << 32) |
                                  Get<std::uint32_t>(file, at + 16);
            const auto first = file.begin() + static_cast<std::ptrdiff_t>(at + kPacketHeader);
            packet.bytes.assign(first, first + captured);
            packet.direction = CaptureDirection::Inbound;
            // Options follow the padded data; only the direction matters here.
            std::size_t option = at + kPacketHeader + (captured + 3) / 4 * 4;
            const std::size_t end = at + total - 4;
            while (option + 4 <= end) {
                const auto code = Get<std::uint16_t>(file, option);
                const auto length = Get<std::uint16_t>(file, option + 2);
                if (code == kOptionEnd || option + 4 + length > end)
                    break;
                if (code == kPacketFlags && length == 4)
                    packet.direction = (Get<std::uint32_t>(file, option + 4) & 3) == kOutbound
                                           ? CaptureDirection::Outbound
                                           : CaptureDirection::Inbound;
                option += 4 + (length + 3u) / 4 * 4;
            }
            packets.push_back(std::move(packet));
        }
        at += total;
    }
    return 0;
}
