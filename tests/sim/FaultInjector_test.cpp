#include "sim/FaultInjector.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sim;

namespace {

using Bytes = std::vector<unsigned char>;

const Bytes kGet11{0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42};
const Bytes kGet10{0x45, 0x02, 0x43, 0x3F};
constexpr int kPause = 60;

struct Piece {
    Bytes bytes;
    int pauseMs;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Piece& p)
{
    out << "{" << std::hex;
    for (unsigned char b : p.bytes)
        out << ' ' << int(b);
    return out << std::dec << " after " << p.pauseMs << " ms}";
}

std::vector<Piece> Apply(FaultInjector& faults, const Bytes& packet, FrameVersion version)
{
    std::vector<LinePiece> out;
    faults.Apply(packet, version, out);
    std::vector<Piece> pieces;
    for (const LinePiece& p : out)
        pieces.push_back({p.bytes, p.pauseMs});
    return pieces;
}

struct FaultCase {
    const char* name;
    std::vector<FaultSpec> faults;
    Bytes packet;
    FrameVersion version;
    std::vector<Piece> pieces;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class FaultPieces : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultPieces, FirstPacketGoesOutAs)
{
    FaultInjector faults(GetParam().faults, kPause);
    EXPECT_EQ(Apply(faults, GetParam().packet, GetParam().version), GetParam().pieces);
}

constexpr auto V10 = FrameVersion::V10;
constexpr auto V11 = FrameVersion::V11;
const FaultSpec kLength{FaultKind::Length, 1};
const FaultSpec kChecksum{FaultKind::Checksum, 1};
const FaultSpec kFill{FaultKind::Fill, 1};
const FaultSpec kSplit{FaultKind::Split, 1};

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultPieces,
    testing::Values(
        FaultCase{"none", {}, kGet11, V11, {{kGet11, 0}}},
        FaultCase{"checksum", {kChecksum}, kGet11, V11, {{{0x45, 0x02, 0xFD, 0x43, 0x3F, 0xBD}, 0}}},
        FaultCase{"checksumSpares10", {kChecksum}, kGet10, V10, {{kGet10, 0}}},
        FaultCase{"length", {kLength}, kGet11, V11, {{{0x45, 0x82, 0xFD, 0x43, 0x3F, 0x42}, 0}}},
        FaultCase{"lengthSpares10", {kLength}, kGet10, V10, {{kGet10, 0}}},
        FaultCase{"fill", {kFill}, kGet10, V10, {{{0x00, 0x00, 0x00}, 0}, {kGet10, 0}}},
        FaultCase{"split11", {kSplit}, kGet11, V11,
                  {{{0x45}, 0}, {{0x02, 0xFD}, kPause}, {{0x43, 0x3F, 0x42}, kPause}}},
        FaultCase{"split10", {kSplit}, kGet10, V10,
                  {{{0x45}, 0}, {{0x02}, kPause}, {{0x43, 0x3F}, kPause}}},
        FaultCase{"splitEmpty10", {kSplit}, {0x45, 0x00}, V10, {{{0x45}, 0}, {{0x00}, kPause}}},
        FaultCase{"fillAndSplit", {kFill, kSplit}, kGet11, V11,
                  {{{0x00, 0x00, 0x00}, 0},
                   {{0x45}, kPause},
                   {{0x02, 0xFD}, kPause},
                   {{0x43, 0x3F, 0x42}, kPause}}},
        FaultCase{"everything", {kSplit, kChecksum, kLength, kFill}, kGet11, V11,
                  {{{0x00, 0x00, 0x00}, 0},
                   {{0x45}, kPause},
                   {{0x82, 0xFD}, kPause},
                   {{0x43, 0x3F, 0xBD}, kPause}}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(FaultInjector, LengthDamageAlternatesBetweenLengthAndComplement)
{
    FaultInjector faults({kLength}, kPause);
    EXPECT_EQ(Apply(faults, kGet11, V11)[0].bytes, (Bytes{0x45, 0x82, 0xFD, 0x43, 0x3F, 0x42}));
    EXPECT_EQ(Apply(faults, kGet11, V11)[0].bytes, (Bytes{0x45, 0x02, 0x7D, 0x43, 0x3F, 0x42}));
    EXPECT_EQ(Apply(faults, kGet11, V11)[0].bytes, (Bytes{0x45, 0x82, 0xFD, 0x43, 0x3F, 0x42}));
}

TEST(FaultInjector, EachFaultStrikesEveryNthPacket)
{
    FaultInjector faults({{FaultKind::Checksum, 3}, {FaultKind::Fill, 2}}, kPause);
    std::vector<std::size_t> pieceCounts;
    std::vector<bool> damaged;
    for (int i = 0; i < 6; ++i) {
        const std::vector<Piece> pieces = Apply(faults, kGet11, V11);
        pieceCounts.push_back(pieces.size());
        damaged.push_back(pieces.back().bytes != kGet11);
    }
    EXPECT_EQ(pieceCounts, (std::vector<std::size_t>{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(damaged, (std::vector<bool>{false, false, true, false, false, true}));
}

TEST(FaultInjector, VersionOnePacketsDoNotCountTowardsChecksumPeriods)
{
    FaultInjector faults({{FaultKind::Checksum, 2}}, kPause);
    EXPECT_EQ(Apply(faults, kGet11, V11)[0].bytes, kGet11);
    EXPECT_EQ(Apply(faults, kGet10, V10)[0].bytes, kGet10);
    EXPECT_EQ(Apply(faults, kGet10, V10)[0].bytes, kGet10);
    EXPECT_NE(Apply(faults, kGet11, V11)[0].bytes, kGet11);
}

} // namespace
