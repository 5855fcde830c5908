#include "sim/RequestFramer.h"

#include "orvane/Checksum11.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sim;

namespace {

using Bytes = std::vector<unsigned char>;

struct Framed {
    FrameVersion version;
    int destination;
    Bytes payload;
    bool operator==(const Framed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Framed& f)
{
    out << (f.version == FrameVersion::V11 ? "1.1 " : "1.0 ") << std::hex << f.destination << " [";
    for (unsigned char b : f.payload)
        out << ' ' << int(b);
    return out << " ]";
}

std::vector<Framed> Convert(const std::vector<HeardPacket>& packets)
{
    std::vector<Framed> framed;
    for (const HeardPacket& p : packets)
        framed.push_back({p.version, p.destination, p.payload});
    return framed;
}

std::vector<Framed> HearAll(RequestFramer& framer, const Bytes& bytes, int64_t nowMs = 0)
{
    std::vector<HeardPacket> out;
    framer.Hear(bytes.data(), bytes.size(), nowMs, out);
    return Convert(out);
}

constexpr auto V10 = FrameVersion::V10;
constexpr auto V11 = FrameVersion::V11;

struct FramingCase {
    const char* name;
    VersionMode mode;
    Bytes line;
    std::vector<Framed> packets;
    std::size_t pending;  // bytes still waiting for more
};

void PrintTo(const FramingCase& c, std::ostream* out)
{
    *out << c.name;
}

class RequestFraming : public testing::TestWithParam<FramingCase> {};

TEST_P(RequestFraming, FindsThePacketsInOneChunk)
{
    RequestFramer framer(GetParam().mode);
    EXPECT_EQ(HearAll(framer, GetParam().line), GetParam().packets);
    EXPECT_EQ(framer.Pending(), GetParam().pending);
}

TEST_P(RequestFraming, FindsTheSamePacketsByteByByte)
{
    RequestFramer framer(GetParam().mode);
    std::vector<Framed> all;
    for (unsigned char byte : GetParam().line) {
        const std::vector<Framed> got = HearAll(framer, Bytes{byte});
        all.insert(all.end(), got.begin(), got.end());
    }
    EXPECT_EQ(all, GetParam().packets);
    EXPECT_EQ(framer.Pending(), GetParam().pending);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RequestFraming,
    testing::Values(
        FramingCase{"autoTakesA11Packet", VersionMode::Auto, {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42},
                    {{V11, 0x45, {0x43, 0x3F}}}, 0},
        FramingCase{"autoTakesA10Packet", VersionMode::Auto, {0x45, 0x02, 0x43, 0x3F},
                    {{V10, 0x45, {0x43, 0x3F}}}, 0},
        FramingCase{"autoMixesVersionsAndSkipsFill", VersionMode::Auto,
                    {0x00, 0x00, 0x45, 0x02, 0x43, 0x3F, 0x00, 0xBF, 0x02, 0xFD, 0x00, 0x3F, 0xCF},
                    {{V10, 0x45, {0x43, 0x3F}}, {V11, 0xBF, {0x00, 0x3F}}}, 0},
        FramingCase{"zeroInsideAPacketIsData", VersionMode::Auto,
                    {0x45, 0x06, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00},
                    {{V10, 0x45, {0x80, 0x3F, 0x00, 0x00, 0x00, 0x00}}}, 0},
        FramingCase{"autoEmpty10PacketThenAnother", VersionMode::Auto,
                    {0x45, 0x00, 0x45, 0x02, 0x43, 0x3F},
                    {{V10, 0x45, {}}, {V10, 0x45, {0x43, 0x3F}}}, 0},
        FramingCase{"autoEmpty11Packet", VersionMode::Auto, {0x41, 0x00, 0xFF, 0x00},
                    {{V11, 0x41, {}}}, 0},
        FramingCase{"autoBadChecksumMeans10", VersionMode::Auto,
                    {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x00},
                    {{V10, 0x45, {0xFD, 0x43}}}, 2},
        FramingCase{"fixed10IgnoresTheComplement", VersionMode::V10,
                    {0x45, 0x02, 0xFD, 0x43, 0x45, 0x02, 0x43, 0x3F},
                    {{V10, 0x45, {0xFD, 0x43}}, {V10, 0x45, {0x43, 0x3F}}}, 0},
        FramingCase{"fixed11ResynchronisesAfterABadComplement", VersionMode::V11,
                    {0x45, 0x02, 0x00, 0x43, 0x3F, 0x42, 0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42},
                    {{V11, 0x45, {0x43, 0x3F}}}, 0},
        FramingCase{"fixed11DropsABadChecksum", VersionMode::V11,
                    {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x43, 0x45, 0x02, 0xFD, 0x41, 0x3F, 0x60},
                    {{V11, 0x45, {0x41, 0x3F}}}, 0},
        FramingCase{"fixed11Waits", VersionMode::V11, {0x45, 0x02, 0xFD, 0x43, 0x3F}, {}, 5}),
    [](const testing::TestParamInfo<FramingCase>& info) { return std::string(info.param.name); });

TEST(RequestFramer, TakesTheLargest11Packet)
{
    Bytes packet{0x45, 0xFF, 0x00};
    for (int i = 0; i < 255; ++i)
        packet.push_back(static_cast<unsigned char>(0xA0 + i));
    packet.push_back(static_cast<unsigned char>(Checksum11(packet.data() + 3, 255)));
    RequestFramer framer(VersionMode::Auto);
    const std::vector<Framed> got = HearAll(framer, packet);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].version, V11);
    EXPECT_EQ(got[0].payload, Bytes(packet.begin() + 3, packet.end() - 1));
}

TEST(RequestFramer, GivesUpAnIncompletePacketAfterTheGap)
{
    RequestFramer framer(VersionMode::Auto);
    EXPECT_EQ(framer.Deadline(), -1);
    EXPECT_TRUE(HearAll(framer, {0x45, 0x06, 0x80}, 1000).empty());
    EXPECT_EQ(framer.Deadline(), 1000 + kRequestGapMs);

    std::vector<HeardPacket> out;
    framer.Expire(1000 + kRequestGapMs - 1, out);
    EXPECT_EQ(framer.Pending(), 3u);
    framer.Expire(1000 + kRequestGapMs, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(framer.Pending(), 0u);
    EXPECT_EQ(framer.Deadline(), -1);

    // The line is clean again for the next request.
    EXPECT_EQ(HearAll(framer, {0x45, 0x02, 0x43, 0x3F}, 2000),
              (std::vector<Framed>{{V10, 0x45, {0x43, 0x3F}}}));
}

TEST(RequestFramer, AutoTakesWhatTheEndOfTheLineDecidesAs10)
{
    RequestFramer framer(VersionMode::Auto);
    // A 1.0 packet of two bytes and a 1.0 packet that looks like the start of a 1.1 one.
    EXPECT_TRUE(HearAll(framer, {0x45, 0x00}, 0).empty());
    std::vector<HeardPacket> out;
    framer.Expire(kRequestGapMs, out);
    EXPECT_EQ(Convert(out), (std::vector<Framed>{{V10, 0x45, {}}}));

    out.clear();
    EXPECT_TRUE(HearAll(framer, {0x45, 0x02, 0xFD, 0x43}, 1000).empty());
    framer.Expire(1000 + kRequestGapMs, out);
    EXPECT_EQ(Convert(out), (std::vector<Framed>{{V10, 0x45, {0xFD, 0x43}}}));
}

TEST(RequestFramer, FixedVersionsDropWhatTheGapLeaves)
{
    for (VersionMode mode : {VersionMode::V10, VersionMode::V11}) {
        RequestFramer framer(mode);
        EXPECT_TRUE(HearAll(framer, {0x45, 0x02, 0xFD}, 0).empty());
        std::vector<HeardPacket> out;
        framer.Expire(kRequestGapMs, out);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(framer.Pending(), 0u);
    }
}

TEST(RequestFramer, NewBytesPostponeTheGap)
{
    RequestFramer framer(VersionMode::V11);
    HearAll(framer, {0x45, 0x02}, 0);
    HearAll(framer, {0xFD, 0x43}, 150);
    std::vector<HeardPacket> out;
    framer.Expire(kRequestGapMs, out);
    EXPECT_EQ(framer.Pending(), 4u);
    EXPECT_EQ(HearAll(framer, {0x3F, 0x42}, 300), (std::vector<Framed>{{V11, 0x45, {0x43, 0x3F}}}));
}

} // namespace
