#include "sim/SimBus.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace sim;

namespace {

struct Reply {
    unsigned char destination;
    Bytes payload;
};

struct BusCase {
    const char* name;
    const char* line;  // what the monitor types
    std::vector<Reply> replies;
};

void PrintTo(const BusCase& c, std::ostream* out)
{
    *out << c.name;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kProfile1 = "Orvane sim node 1: 16x16-bit, 16x32-bit registers, 512-byte memory";

Bytes LineOut(const std::vector<LinePiece>& pieces)
{
    Bytes all;
    for (const LinePiece& p : pieces)
        all.insert(all.end(), p.bytes.begin(), p.bytes.end());
    return all;
}

Bytes Expected(const std::vector<Reply>& replies, FrameVersion version)
{
    std::vector<Bytes> packets;
    for (const Reply& r : replies)
        packets.push_back(Packet(version, r.destination, r.payload));
    return Join(packets);
}

const BusCase kCases[] = {
    {"get16", "get16 5 3", {{0x7F, {0x63, 0x05, 0x03, 0x05}}}},
    {"get32", "get32 12 2", {{0x7F, {0x72, 0x0C, 0x02, 0x00, 0x00, 0x0C}}}},
    {"setThenGet16", "set16 5 3 0x1234;get16 5 3", {{0x7F, {0x63, 0x05, 0x34, 0x12}}}},
    {"setThenGet32", "set32 1 7 -2;get32 1 7", {{0x7F, {0x77, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}}}},
    {"read8", "read8 5 0x10", {{0x7F, {0x82, 0x05, 0x10, 0x00, 0x00, 0x15}}}},
    {"writeThenRead16", "write16 5 0x20 0xBEEF;read16 5 0x20",
     {{0x7F, {0x83, 0x05, 0x20, 0x00, 0x00, 0xEF, 0xBE}}}},
    {"writeThenRead8", "write8 12 0x123456 0x99;read8 12 0x56",
     {{0x7F, {0x82, 0x0C, 0x56, 0x00, 0x00, 0x99}}}},
    {"bulkget", "bulkget 12 1 2", {{0x7F, {0xA2, 0x0C, 0x01, 0x02, 0x0F, 0x0E, 0x11, 0x10}}}},
    {"bulksetThenBulkget", "bulkset 5 16 2 0x1234 0x5678;bulkget 5 16 2",
     {{0x7F, {0xA2, 0x05, 0x10, 0x02, 0x12, 0x34, 0x56, 0x78}}}},
    {"profile", "reqprof 1", {{0x7F, Concat({0x03, 0x01}, Text(kProfile1))}}},
    {"setidThenGet", "setid 5 9;get16 9 3;get16 5 3",
     {{0x7F, {0x05, 0x05, 0x09}}, {0x7F, {0x63, 0x09, 0x03, 0x05}}}},
    {"broadcastGet", "get16 all 3",
     {{0x7F, {0x63, 0x01, 0x03, 0x01}},
      {0x7F, {0x63, 0x05, 0x03, 0x05}},
      {0x7F, {0x63, 0x0C, 0x03, 0x0C}}}},
    {"broadcastSetThenGet", "set16 broadcast 0 7;get16 bcast 0",
     {{0x7F, {0x60, 0x01, 0x07, 0x00}},
      {0x7F, {0x60, 0x05, 0x07, 0x00}},
      {0x7F, {0x60, 0x0C, 0x07, 0x00}}}},
    {"broadcastProfile", "reqprof all",
     {{0x7F, Concat({0x03, 0x01}, Text(kProfile1))},
      {0x7F, Concat({0x03, 0x05}, Text("Orvane sim node 5: 16x16-bit, 16x32-bit registers, 512-byte memory"))},
      {0x7F, Concat({0x03, 0x0C}, Text("Orvane sim node 12: 16x16-bit, 16x32-bit registers, 512-byte memory"))}}},
    {"resetThenGet", "set16 5 3 1;reset 5;get16 5 3", {{0x7F, {0x63, 0x05, 0x03, 0x05}}}},
    {"nobodyThere", "get16 7 3;reset all;nops", {}},
    {"repliesAreNotAnswered", "reply16 5 3 1;mreply8 5 0 0;bulkreply 5 0 0;setidreply 5 1 2;burst 1 2 3 4 5", {}},
};

class BusAnswers : public testing::TestWithParam<std::tuple<BusCase, FrameVersion>> {};

TEST_P(BusAnswers, InTheVersionOfTheRequest)
{
    const auto& [c, version] = GetParam();
    SimBus bus({1, 5, 12}, VersionMode::Auto, {}, 0);
    const Bytes request = MonitorSends(c.line, version);
    ASSERT_FALSE(request.empty());
    std::vector<LinePiece> out;
    bus.Hear(request.data(), request.size(), 0, out);
    EXPECT_EQ(Hex(LineOut(out)), Hex(Expected(c.replies, version)));
}

TEST_P(BusAnswers, WhenTheRequestArrivesByteByByte)
{
    const auto& [c, version] = GetParam();
    SimBus bus({1, 5, 12}, version == FrameVersion::V11 ? VersionMode::V11 : VersionMode::V10, {}, 0);
    const Bytes request = MonitorSends(c.line, version);
    std::vector<LinePiece> out;
    for (unsigned char byte : request)
        bus.Hear(&byte, 1, 0, out);
    EXPECT_EQ(Hex(LineOut(out)), Hex(Expected(c.replies, version)));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, BusAnswers,
    testing::Combine(testing::ValuesIn(kCases), testing::Values(FrameVersion::V10, FrameVersion::V11)),
    [](const testing::TestParamInfo<std::tuple<BusCase, FrameVersion>>& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == FrameVersion::V11 ? "_v11" : "_v10");
    });

TEST(SimBus, SpelledOutPacketsMatchTheWireLayout)
{
    SimBus bus({5}, VersionMode::Auto, {}, 0);
    std::vector<LinePiece> out;
    const Bytes get11{0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42};
    bus.Hear(get11.data(), get11.size(), 0, out);
    EXPECT_EQ(Hex(LineOut(out)), "7F 04 FB 63 05 03 05 70");
    out.clear();
    const Bytes get10{0x45, 0x02, 0x43, 0x3F};
    bus.Hear(get10.data(), get10.size(), 0, out);
    EXPECT_EQ(Hex(LineOut(out)), "7F 04 63 05 03 05");
}

TEST(SimBus, AFixedVersionIgnoresRequestsOfTheOther)
{
    SimBus bus({5}, VersionMode::V11, {}, 0);
    const Bytes request = MonitorSends("get16 5 3", FrameVersion::V10);
    std::vector<LinePiece> out;
    bus.Hear(request.data(), request.size(), 0, out);
    bus.Expire(kRequestGapMs, out);
    EXPECT_TRUE(out.empty());
}

TEST(SimBus, TrafficReportsInTurnAndFollowsTheLastRequestsVersion)
{
    SimBus bus({1, 5}, VersionMode::Auto, {}, 0);
    std::vector<LinePiece> out;
    for (int i = 0; i < 4; ++i)
        bus.Traffic(out);
    const auto v11 = FrameVersion::V11;
    EXPECT_EQ(Hex(LineOut(out)),
              Hex(Join({Packet(v11, 0x81, {0x6F, 0x01, 0x10, 0x01}),
                        Packet(v11, 0x81, {0x7F, 0x01, 0x10, 0x00, 0x00, 0x01}),
                        Packet(v11, 0x20, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA5,
                                           0x01, 0x00, 0x00, 0x00}),
                        Packet(v11, 0x85, {0x6F, 0x05, 0x10, 0x05})})));

    out.clear();
    const Bytes request = MonitorSends("get16 1 15", FrameVersion::V10);
    bus.Hear(request.data(), request.size(), 0, out);
    EXPECT_EQ(Hex(LineOut(out)), Hex(Packet(FrameVersion::V10, 0x7F, {0x6F, 0x01, 0x10, 0x01})));
    out.clear();
    bus.Traffic(out);
    bus.Traffic(out);
    EXPECT_EQ(Hex(LineOut(out)),
              Hex(Join({Packet(FrameVersion::V10, 0x85, {0x7F, 0x05, 0x10, 0x00, 0x00, 0x05}),
                        Packet(FrameVersion::V10, 0x20, {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0xE8, 0x03, 0x00, 0x00,
                                                        0x01, 0x00, 0x00, 0xA5, 0x05, 0x00,
                                                        0x00, 0x00})})));
}

TEST(SimBus, TrafficUsesAFixedVersion)
{
    SimBus bus({1}, VersionMode::V10, {}, 0);
    std::vector<LinePiece> out;
    bus.Traffic(out);
    EXPECT_EQ(Hex(LineOut(out)), Hex(Packet(FrameVersion::V10, 0x81, {0x6F, 0x01, 0x10, 0x01})));
}

TEST(SimBus, RepliesPassThroughTheFaults)
{
    SimBus bus({5}, VersionMode::Auto, {{FaultKind::Checksum, 1}, {FaultKind::Split, 1}}, 25);
    std::vector<LinePiece> out;
    const Bytes request = MonitorSends("get16 5 3", FrameVersion::V11);
    bus.Hear(request.data(), request.size(), 0, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(Hex(out[0].bytes), "7F");
    EXPECT_EQ(Hex(out[1].bytes), "04 FB");
    EXPECT_EQ(Hex(out[2].bytes), "63 05 03 05 8F");
    EXPECT_EQ(out[0].pauseMs, 0);
    EXPECT_EQ(out[2].pauseMs, 25);
}

} // namespace
