#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The pcapng blocks a capture is made of, as Wireshark and tshark read them:
// a section header, one interface (link type USER0, the port's name and rate
// in its options) and one enhanced packet block per chunk read or block
// written, with the direction in its flags and the time in microseconds.

inline constexpr std::uint16_t kLinkTypeUser0 = 147;

enum class CaptureDirection { Inbound, Outbound };

std::string SectionHeaderBlock();
std::string InterfaceBlock(const std::string& name, const std::string& description,
                           std::uint64_t bitsPerSecond);
std::string PacketBlock(CaptureDirection direction, const unsigned char* bytes, std::size_t count,
                        std::uint64_t microseconds);

// One packet of a capture as a replay reads it.
struct CapturedPacket {
    CaptureDirection direction;
    std::uint64_t microseconds;
    std::vector<unsigned char> bytes;
};

inline constexpr int kCaptureDamaged = -1;
inline constexpr int kNotACapture = -2;

// Reads a capture. Returns 0 with every packet in packets; kCaptureDamaged
// with every packet before the damage kept and error naming its byte offset;
// or kNotACapture with a message in error.
int ReadCapture(const std::vector<unsigned char>& file, std::vector<CapturedPacket>& packets,
                std::string& error);
