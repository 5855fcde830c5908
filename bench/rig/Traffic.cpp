#include "bench/rig/Traffic.h"

#include "orvane/CXrateOV11.h"
#include "orvane/Checksum11.h"
#include "xrate/TextChars.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void RawRecord(long long number, unsigned char* out)
{
    auto value = static_cast<unsigned long long>(number);
    for (int i = 13; i >= 0; --i) {
        out[i] = static_cast<unsigned char>(kHexDigits[value & 0xF]);
        value >>= 4;
    }
    out[14] = '\r';
    out[15] = '\n';
}

void Ov11Record(long long number, unsigned char* out)
{
    const auto value = static_cast<std::uint32_t>(number);
    out[0] = static_cast<unsigned char>(0x40 | (1 + number % 62));
    out[1] = 6;
    out[2] = static_cast<unsigned char>(6 ^ 0xFF);
    out[3] = static_cast<unsigned char>(0x70 | (number % 16));
    out[4] = 0x3F;
    for (int i = 0; i < 4; ++i)
        out[5 + i] = static_cast<unsigned char>(value >> (8 * i));
    out[9] = static_cast<unsigned char>(Checksum11(out + 3, 6));
}

} // namespace

void Traffic::Record(long long number, unsigned char* out) const
{
    if (m_kind == TrafficKind::kRaw)
        RawRecord(number, out);
    else
        Ov11Record(number, out);
}

std::string Traffic::Probe() const
{
    if (m_kind == TrafficKind::kRaw)
        return "!";
    const unsigned char payload[] = {0x43, 0x3F};
    const unsigned char packet[] = {0x45, 0x02, 0xFD, payload[0], payload[1],
                                    static_cast<unsigned char>(Checksum11(payload, 2))};
    return std::string(reinterpret_cast<const char*>(packet), sizeof packet);
}

bool Traffic::AgreesWithEncoder() const
{
    if (m_kind == TrafficKind::kRaw)
        return true;
    CXrateOV11 encoder(nullptr, 63);
    const long long samples[] = {0, 1, 61, 62, 0x12345678, 0xFFFFFFFFLL};
    for (long long number : samples) {
        char statement[64];
        std::snprintf(statement, sizeof statement, "reply32 %lld %lld %lld", 1 + number % 62,
                      number % 16, number);
        int len = kSendText;
        const char* packet = encoder.XrateSend(statement, len);
        unsigned char record[10];
        Ov11Record(number, record);
        if (len != RecordSize() || std::memcmp(packet, record, sizeof record) != 0)
            return false;
    }
    return true;
}
