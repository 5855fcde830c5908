#include "ReceiveTestSupport.h"

#include "orvane/TextBuffer.h"

#include <ostream>
#include <string>

namespace {

// A bulk reply that fills the whole 255-byte payload: 125 words 0x0102 and one spare byte.
Bytes FullBulkReply()
{
    Bytes payload{0xA2, 0x3F, 0x00, 125};
    for (int i = 0; i < 125; ++i) {
        payload.push_back(0x01);
        payload.push_back(0x02);
    }
    payload.push_back(0xEE);
    return payload;
}

std::string FullBulkReplyLine()
{
    std::string line = "BulkReply from ID:3F to ID:05: S:0 Len:125> ";
    for (int i = 0; i < 125; ++i)
        line += "0x0102(  258), ";
    return line + "\r\n";
}

struct Framing {
    const char* name;
    FrameVersion version;
    Bytes bytes;
    std::string text;
};

void PrintTo(const Framing& framing, std::ostream* out)
{
    *out << framing.name;
}

const Bytes kGet16 = {0x43, 0x3F};
const Bytes kReset = {0x00, 0x3F};
const std::string kGet16Line = "Get16 Reg.3 by ID:3F to ID:05\r\n";
const std::string kResetLine = "Device reset by ID:3F to ID:05\r\n";

const Framing kFramings[] = {
    {"FillBytesShowAsDotsAndTheNextPacketStartsALine", FrameVersion::V10,
     Join({{0, 0, 0}, Packet10(0x45, kGet16)}), "...\r\n" + kGet16Line},
    {"ZeroInsideAPacketIsData", FrameVersion::V10, {0x45, 0x02, 0x00, 0x3F}, kResetLine},
    {"PacketsBackToBackNeedNoLineBreak", FrameVersion::V10,
     Join({Packet10(0x45, kGet16), Packet10(0x45, kReset)}), kGet16Line + kResetLine},
    {"FillBetweenPackets", FrameVersion::V10,
     Join({Packet10(0x45, kGet16), {0, 0}, Packet10(0x45, kReset), {0}}),
     kGet16Line + "..\r\n" + kResetLine + "."},
    {"EmptyUnicastIsCompleteWithItsLengthByte", FrameVersion::V10, {0x41, 0x00},
     "Unknown VOID packet to ID:01\r\n"},
    {"EmptyBurst", FrameVersion::V10, {0x20, 0x00},
     "Burst Transfer Packet (0 bytes): \r\n"
     "             0(00000000)           0(00000000)           0(00000000)"
     "           0(00000000)           0(00000000)\r\n"},
    {"PacketsToOtherNodesAreDecodedAlike", FrameVersion::V10,
     Join({Packet10(0x40, kGet16), Packet10(0x7F, kGet16), Packet10(0xBF, kGet16)}),
     "Get16 Reg.3 by ID:3F to ID:00\r\nGet16 Reg.3 by ID:3F to ID:3F\r\n"
     "Get16 Reg.3 by ID:3F BCAST(by 3F)\r\n"},
    {"KindElevenIsDumpedWhole", FrameVersion::V10, {0xC5, 0x02, 0xAA, 0x00},
     "Unknown Special packet 0xC5 (4 bytes): C5 02 AA 00 \r\n"},
    {"KindZeroOtherThanBurstIsDumped", FrameVersion::V10,
     Join({{0x01, 0x00}, {0x3F, 0x01, 0x00}}),
     "Unknown Special packet 0x01 (2 bytes): 01 00 \r\n"
     "Unknown Special packet 0x3F (3 bytes): 3F 01 00 \r\n"},
    {"LargestPacket", FrameVersion::V10, Packet10(0x45, FullBulkReply()), FullBulkReplyLine()},

    {"Valid11Packet", FrameVersion::V11, {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x42}, kGet16Line},
    {"FillBytes11", FrameVersion::V11, Join({{0}, Packet11(0x45, kGet16), {0, 0}}),
     ".\r\n" + kGet16Line + ".."},
    {"EmptyPayloadHasChecksumZero", FrameVersion::V11, {0x41, 0x00, 0xFF, 0x00},
     "Unknown VOID packet to ID:01\r\n"},
    {"ImplausibleComplementIsRepaired", FrameVersion::V11,
     {0x45, 0x05, 0x00, 0x00, 0x3F, 0x01, 0x02, 0x03, 0xB5},
     "Recv:Packet length error 05-00 Recovered to 05-FA " + kResetLine},
    {"ImplausibleLengthIsTakenFromTheComplement", FrameVersion::V11,
     {0x45, 0xF0, 0xFA, 0x00, 0x3F, 0x01, 0x02, 0x03, 0xB5},
     "Recv:Packet length error F0-FA Recovered to 05-FA " + kResetLine},
    {"BothPlausibleTheLengthByteWins", FrameVersion::V11,
     {0x45, 0x05, 0xF0, 0x00, 0x3F, 0x01, 0x02, 0x03, 0xB5},
     "Recv:Packet length error 05-F0 Cannot recover, use 05 " + kResetLine},
    {"NeitherPlausibleEndsThePacketWithItsFourthByte", FrameVersion::V11,
     Join({{0x45, 0x50, 0x50, 0x00}, Packet11(0x45, kGet16)}),
     "Recv:Packet length error 50-50 Cannot recover, Use 'nops' to recover connection \n"
     "Unknown VOID packet to ID:05\r\n" +
         kGet16Line},
    {"NeitherPlausibleWithStrayFourthByte", FrameVersion::V11, {0x45, 0x50, 0x50, 0x07},
     "Recv:Packet length error 50-50 Cannot recover, Use 'nops' to recover connection \n"
     "Checksum Error packet 0x45 (4 bytes): 45 00 50 07 \r\n"
     " Cand: Unknown VOID packet to ID:05\r\n"},
    {"BadChecksumIsDumpedThenRenderedAsCandidate", FrameVersion::V11,
     {0x45, 0x02, 0xFD, 0x43, 0x3F, 0x00},
     "Checksum Error packet 0x45 (6 bytes): 45 02 FD 43 3F 00 \r\n Cand: " + kGet16Line},
    {"SpecialPacket11IsDumpedWithoutChecksumTest", FrameVersion::V11,
     {0xC5, 0x01, 0xFE, 0xAA, 0xBB},
     "Unknown Special packet 0xC5 (5 bytes): C5 01 FE AA BB \r\n"},
    {"SpecialPacket11GetsItsLengthRepairedToo", FrameVersion::V11,
     {0xFF, 0x01, 0x00, 0xAA, 0xBB},
     "Recv:Packet length error 01-00 Recovered to 01-FE "
     "Unknown Special packet 0xFF (5 bytes): FF 01 FE AA BB \r\n"},
    {"LargestPacket11", FrameVersion::V11, Packet11(0x45, FullBulkReply()), FullBulkReplyLine()},
};

class ReceiveFraming : public ReceiveTest, public ::testing::WithParamInterface<Framing> {};

TEST_P(ReceiveFraming, RendersTheWholeChunk)
{
    ConverterFeed receiver(GetParam().version);
    EXPECT_EQ(receiver.Feed(GetParam().bytes), GetParam().text);
}

// However the bytes are split over calls, the texts of the calls join up to
// the same report: nothing in progress is lost or shown twice.
TEST_P(ReceiveFraming, SplitAtEveryPositionGivesTheSameText)
{
    const Bytes& bytes = GetParam().bytes;
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        SCOPED_TRACE(split);
        ConverterFeed receiver(GetParam().version);
        std::string text = receiver.Feed(Bytes(bytes.begin(), bytes.begin() + long(split)));
        text += receiver.Feed(Bytes(bytes.begin() + long(split), bytes.end()));
        EXPECT_EQ(text, GetParam().text);
    }
}

TEST_P(ReceiveFraming, OneByteAtATimeGivesTheSameText)
{
    ConverterFeed receiver(GetParam().version);
    std::string text;
    for (unsigned char byte : GetParam().bytes)
        text += receiver.Feed({byte});
    EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Chunks, ReceiveFraming, ::testing::ValuesIn(kFramings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiveTest, PacketIsRenderedInTheCallThatBringsItsLastByte)
{
    ConverterFeed receiver(FrameVersion::V11);
    EXPECT_EQ(receiver.Feed({0x45, 0x05}), "");
    EXPECT_EQ(receiver.Feed({0x00, 0x00}), "Recv:Packet length error 05-00 Recovered to 05-FA ");
    EXPECT_EQ(receiver.Feed({0x3F, 0x01, 0x02, 0x03}), "");
    EXPECT_EQ(receiver.Feed({0xB5}), kResetLine);
    EXPECT_EQ(receiver.Feed({}), "");
}

TEST_F(ReceiveTest, EmptyCallsKeepThePacketInProgress)
{
    ConverterFeed receiver(FrameVersion::V10);
    EXPECT_EQ(receiver.Feed({0x45, 0x02, 0x43}), "");
    EXPECT_EQ(receiver.Feed({}), "");
    EXPECT_EQ(receiver.Feed({0x3F}), kGet16Line);
}

// A short packet after a long one must not show or store what the long one left behind.
TEST_F(ReceiveTest, ShortReplyAfterLongOneReadsMissingBytesAsZero10)
{
    ConverterFeed receiver(FrameVersion::V10);
    receiver.Feed(Packet10(0x7F, {0x71, 0x05, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(receiver.Feed(Packet10(0x7F, {0x61, 0x06})),
              "Rep16 Reg.1 = 0x0000(    0,     0) from ID:06 to ID:3F\r\n");
    EXPECT_EQ(NodeTable[6].reg16[1].valid, 1);
    EXPECT_EQ(NodeTable[6].reg16[1].value, 0);
}

TEST_F(ReceiveTest, ShortReplyAfterLongOneReadsMissingBytesAsZero11)
{
    ConverterFeed receiver(FrameVersion::V11);
    receiver.Feed(Packet11(0x7F, {0x71, 0x05, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(receiver.Feed(Packet11(0x7F, {0x61, 0x06})),
              "Rep16 Reg.1 = 0x0000(    0,     0) from ID:06 to ID:3F\r\n");
    EXPECT_EQ(NodeTable[6].reg16[1].value, 0);
    EXPECT_EQ(receiver.Feed(Packet11(0x20, {0x01, 0x00, 0x00, 0x00})),
              "Burst Transfer Packet (4 bytes): \r\n"
              "             1(00000001)           0(00000000)           0(00000000)"
              "           0(00000000)           0(00000000)\r\n");
}

TEST_F(ReceiveTest, RepairedShorterLengthShowsOnlyTheBytesItCovers)
{
    ConverterFeed receiver(FrameVersion::V11);
    receiver.Feed(Packet11(0x45, {0xA2, 0x3F, 0x00, 0x02, 0x12, 0x34, 0x56, 0x78}));
    // Length F0 with complement FB: repaired to 4, so the three words are not in the packet.
    EXPECT_EQ(receiver.Feed({0x45, 0xF0, 0xFB, 0xA2, 0x3F, 0x10, 0x03, 0x14}),
              "Recv:Packet length error F0-FB Recovered to 04-FB "
              "BulkReply from ID:3F to ID:05: S:16 Len:3> "
              "0x0000(    0), 0x0000(    0), 0x0000(    0), \r\n");
}

TEST_F(ReceiveTest, PacketFailingItsChecksumLeavesTheNodeTableAlone)
{
    ConverterFeed receiver(FrameVersion::V11);
    receiver.Feed(Packet11(0x7F, {0x63, 0x05, 0x34, 0x12}));
    Bytes corrupt = Packet11(0x7F, {0x63, 0x05, 0x99, 0x99});
    ASSERT_NE(corrupt.back(), 0x00);
    corrupt.back() = 0x00;
    EXPECT_EQ(receiver.Feed(corrupt),
              "Checksum Error packet 0x7F (8 bytes): 7F 04 FB 63 05 99 99 00 \r\n"
              " Cand: Rep16 Reg.3 = 0x9999(39321,-26215) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(NodeTable[5].reg16[3].value, 0x1234);

    receiver.Feed(Packet11(0x7F, {0x00, 0x09}));
    Bytes stranger = Packet11(0x7F, {0x00, 0x0A});
    stranger.back() ^= 0x80;
    receiver.Feed(stranger);
    EXPECT_EQ(ValidNodes(), "-----5---9------------------------------------------------------");
}

TEST_F(ReceiveTest, Version10HasNoChecksumSoEveryPacketCounts)
{
    ConverterFeed receiver(FrameVersion::V10);
    receiver.Feed(Packet10(0x7F, {0x63, 0x05, 0x34, 0x12}));
    EXPECT_EQ(NodeTable[5].reg16[3].value, 0x1234);
}

TEST(ReceiveFramerTest, CompletedPacketStaysReadableUntilTheNextByte)
{
    ReceiveFramer framer;
    TextBuffer text(100);
    const Bytes packet = Packet11(0x85, {0x63, 0x05, 0x34, 0x12});
    for (std::size_t i = 0; i + 1 < packet.size(); ++i) {
        EXPECT_FALSE(framer.Push(packet[i], FrameVersion::V11, text));
        EXPECT_EQ(framer.Count(), int(i + 1));
    }
    ASSERT_TRUE(framer.Push(packet.back(), FrameVersion::V11, text));
    EXPECT_EQ(framer.Count(), 0);
    EXPECT_EQ(framer.State(), FramerState::Decode);
    EXPECT_EQ(framer.Destination(), 0x85);
    EXPECT_EQ(framer.PayloadLength(), 4);
    EXPECT_EQ(Bytes(framer.Payload(), framer.Payload() + 4), Bytes({0x63, 0x05, 0x34, 0x12}));
    EXPECT_TRUE(framer.ChecksumPassed());
    EXPECT_STREQ(text.Text(), "");

    EXPECT_FALSE(framer.Push(0x00, FrameVersion::V11, text));
    EXPECT_EQ(framer.State(), FramerState::Fill);
    EXPECT_STREQ(text.Text(), ".");
}

} // namespace
