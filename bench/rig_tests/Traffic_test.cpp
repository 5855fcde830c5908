#include "bench/rig/Traffic.h"

#include "orvane/CXrateOV11.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string RecordOf(const Traffic& traffic, long long number)
{
    std::string record(static_cast<std::size_t>(traffic.RecordSize()), '\0');
    traffic.Record(number, reinterpret_cast<unsigned char*>(record.data()));
    return record;
}

TEST(Traffic, RawRecordsAreTheirNumberInHexadecimalWithALineEnd)
{
    const Traffic raw(TrafficKind::kRaw);
    EXPECT_EQ(RecordOf(raw, 0), "00000000000000\r\n");
    EXPECT_EQ(RecordOf(raw, 0x2A), "0000000000002A\r\n");
    EXPECT_EQ(RecordOf(raw, 0x123456789ABCDLL), "0123456789ABCD\r\n");
}

TEST(Traffic, Ov11RecordsAreWhatTheEncoderMakesOfReply32)
{
    EXPECT_TRUE(Traffic(TrafficKind::kOv11).AgreesWithEncoder());
}

// The numbers must survive decoding, or a lost packet could hide behind a
// neighbour that renders the same.
TEST(Traffic, Ov11RecordsDecodeToTheirNumber)
{
    const Traffic ov11(TrafficKind::kOv11);
    CXrateOV11 converter(nullptr, 63);
    for (long long number : {0LL, 1LL, 77LL, 0xFFFFFFFFLL}) {
        std::string record = RecordOf(ov11, number);
        record.push_back('\0');
        const std::string text = converter.XrateReceive(
            reinterpret_cast<const unsigned char*>(record.data()), ov11.RecordSize());
        char value[16];
        std::snprintf(value, sizeof value, "0x%08llX", number);
        EXPECT_NE(text.find(std::string("Rep32 Reg.")), std::string::npos) << text;
        EXPECT_NE(text.find(value), std::string::npos) << text;
    }
}

TEST(Traffic, ProbesAreWholeUnitsOutsideTheRecords)
{
    EXPECT_EQ(Traffic(TrafficKind::kRaw).Probe(), "!");
    const std::string packet = Traffic(TrafficKind::kOv11).Probe();
    ASSERT_EQ(packet.size(), 6u);  // get16 5 3 in version 1.1
    EXPECT_EQ(static_cast<unsigned char>(packet[0]), 0x45);
    EXPECT_EQ(static_cast<unsigned char>(packet[2]), 0xFD);
}

} // namespace
