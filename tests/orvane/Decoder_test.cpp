#include "ReceiveTestSupport.h"

#include "orvane/PacketDecoder.h"
#include "orvane/TextBuffer.h"

#include <ostream>
#include <string>

namespace {

std::string Decode(int destination, const Bytes& payload, bool updateNodeTable = true)
{
    TextBuffer text(8000);
    DecodeOrvanePacket(text, destination, static_cast<int>(payload.size()), payload.data(),
                       updateNodeTable);
    return text.Text();
}

struct Rendering {
    const char* name;
    int destination;
    Bytes payload;
    const char* line;
};

const Rendering kReadable[] = {
    {"BurstShowsFiveSignedWords", 0x20,
     {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0x78, 0x56, 0x34, 0x12, 5, 0, 0, 0},
     "Burst Transfer Packet (20 bytes): \r\n"
     "             1(00000001)          -1(FFFFFFFF) -2147483648(80000000)"
     "   305419896(12345678)           5(00000005)\r\n"},
    {"EmptyBurstStillShowsFiveWords", 0x20, {},
     "Burst Transfer Packet (0 bytes): \r\n"
     "             0(00000000)           0(00000000)           0(00000000)"
     "           0(00000000)           0(00000000)\r\n"},
    {"ShortBurstShowsMissingWordsAsZero", 0x20, {1, 0, 0, 0, 2, 0},
     "Burst Transfer Packet (6 bytes): \r\n"
     "             1(00000001)           2(00000002)           0(00000000)"
     "           0(00000000)           0(00000000)\r\n"},
    {"EmptyUnicastIsVoid", 0x45, {}, "Unknown VOID packet to ID:05\r\n"},
    {"EmptyBroadcastIsVoid", 0xBF, {}, "Unknown VOID packet BCAST(by 3F)\r\n"},
    {"Reset", 0x45, {0x00, 0x3F}, "Device reset by ID:3F to ID:05\r\n"},
    {"SourceIsMaskedToSixBits", 0x45, {0x00, 0xFF}, "Device reset by ID:3F to ID:05\r\n"},
    {"OneBytePayloadHasSourceZero", 0x45, {0x00}, "Device reset by ID:00 to ID:05\r\n"},
    {"UnknownDestinationKind", 0xC5, {0x00, 0x3F},
     "Device reset by ID:3F Unknown destination C5\r\n"},
    {"RequestProfile", 0x85, {0x02, 0x3F}, "Request Profile by ID:3F BCAST(by 05)\r\n"},
    {"ReplyProfile", 0x7F, {0x03, 0x05, 'H', 'e', 'l', 'l', 'o'},
     "Reply Profile from ID:05 to ID:3F 'Hello'\r\n"},
    {"ReplyProfileEndsAtNulAndKeepsItsWidth", 0x7F, {0x03, 0x05, 'H', 'i', 0x00, 'x'},
     "Reply Profile from ID:05 to ID:3F '  Hi'\r\n"},
    {"EmptyReplyProfile", 0x7F, {0x03, 0x05}, "Reply Profile from ID:05 to ID:3F ''\r\n"},
    {"ReplyProfileOfOneByteIsEmpty", 0x7F, {0x03}, "Reply Profile from ID:00 to ID:3F ''\r\n"},
    {"SetId", 0x45, {0x04, 0x3F, 0x09}, "SetID from ID:3F to ID:05 set to 09\r\n"},
    {"SetIdReplyShowsOldIdWhole", 0x45, {0x05, 0xC5, 0x09},
     "SetID reply to to ID:05, C5 changed to 09\r\n"},
    {"Set16ShowsUnsignedAndSignedView", 0x45, {0x23, 0x3F, 0xFF, 0xFF},
     "Set16 Reg.3 to 0xFFFF(65535,    -1) by ID:3F to ID:05\r\n"},
    {"Set16", 0x45, {0x2F, 0x01, 0x34, 0x12},
     "Set16 Reg.F to 0x1234( 4660,  4660) by ID:01 to ID:05\r\n"},
    {"Set16OfSixBytesCarries32Bits", 0x45, {0x21, 0x3F, 0x78, 0x56, 0x34, 0x12},
     "Set16 Reg.1 to 0x12345678(305419896, 305419896) by ID:3F to ID:05\r\n"},
    {"Set16OfSixBytesSignExtendsBit15", 0x45, {0x21, 0x3F, 0x00, 0x80, 0x34, 0x12},
     "Set16 Reg.1 to 0x12348000(305430528,-32768) by ID:3F to ID:05\r\n"},
    {"Set16WithoutValueShowsZero", 0x45, {0x21, 0x3F},
     "Set16 Reg.1 to 0x0000(    0,     0) by ID:3F to ID:05\r\n"},
    {"Set32", 0x45, {0x32, 0x3F, 0x78, 0x56, 0x34, 0x12},
     "Set32 Reg.2 to 0x12345678(305419896) by ID:3F to ID:05\r\n"},
    {"Set32Negative", 0x45, {0x30, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF},
     "Set32 Reg.0 to 0xFFFFFFFF(       -1) by ID:3F to ID:05\r\n"},
    {"Get16", 0x45, {0x43, 0x3F}, "Get16 Reg.3 by ID:3F to ID:05\r\n"},
    {"Get32", 0x85, {0x5A, 0x07}, "Get32 Reg.A by ID:07 BCAST(by 05)\r\n"},
    {"Rep16", 0x7F, {0x63, 0x05, 0x34, 0x12},
     "Rep16 Reg.3 = 0x1234( 4660,  4660) from ID:05 to ID:3F\r\n"},
    {"Rep16HighBitSet", 0x7F, {0x60, 0x05, 0x00, 0x80},
     "Rep16 Reg.0 = 0x8000(32768,-32768) from ID:05 to ID:3F\r\n"},
    {"Rep32", 0x7F, {0x71, 0x05, 0x78, 0x56, 0x34, 0x12},
     "Rep32 Reg.1 = 0x12345678(305419896) from ID:05 to ID:3F\r\n"},
    {"Rep32OfFourBytesIs16Bits", 0x7F, {0x72, 0x05, 0x34, 0x12},
     "Rep32 Reg.2 = 0x00001234(     4660) from ID:05 to ID:3F\r\n"},
    {"MemoryRead8ShowsNoValue", 0x45, {0x80, 0x3F, 0x56, 0x34, 0x12, 0x00},
     "mread8 from ID:3F to ID:05: addr:0x123456\n"},
    {"MemoryRead16ShowsNoValue", 0x45, {0x81, 0x3F, 0x10, 0x00, 0x00, 0x00, 0x00},
     "mread16 from ID:3F to ID:05: addr:0x00010\n"},
    {"MemoryReply8", 0x45, {0x82, 0x3F, 0x10, 0x00, 0x00, 0xFF},
     "mreply8 from ID:3F to ID:05: addr:0x00010 val:0xFF( 255)\n"},
    {"MemoryReply16", 0x45, {0x83, 0x3F, 0x10, 0x00, 0x00, 0x34, 0x12},
     "mreply16 from ID:3F to ID:05: addr:0x00010 val:0x1234(  4660)\n"},
    {"MemoryWrite8", 0x45, {0x84, 0x3F, 0x10, 0x00, 0x00, 0x07},
     "mwrite8 from ID:3F to ID:05: addr:0x00010 val:0x07(   7)\n"},
    {"MemoryWrite16", 0x7F, {0x85, 0x3F, 0x45, 0x23, 0x01, 0xFF, 0x01},
     "mwrite16 from ID:3F to ID:3F: addr:0x12345 val:0x01FF(   511)\n"},
    {"MemoryAnd8", 0x45, {0x86, 0x01, 0x01, 0x00, 0x00, 0x0F},
     "mand8 from ID:01 to ID:05: addr:0x00001 val:0x0F(  15)\n"},
    {"MemoryOr16", 0x45, {0x89, 0x01, 0x01, 0x00, 0x00, 0x0F, 0xF0},
     "mor16 from ID:01 to ID:05: addr:0x00001 val:0xF00F( 61455)\n"},
    {"MemoryXor8", 0x45, {0x8A, 0x01, 0x01, 0x00, 0x00, 0x0F},
     "mxor8 from ID:01 to ID:05: addr:0x00001 val:0x0F(  15)\n"},
    {"MemoryUnnamed16", 0x45, {0x8D, 0x01, 0x01, 0x00, 0x00, 0x0F, 0x00},
     "m??16 from ID:01 to ID:05: addr:0x00001 val:0x000F(    15)\n"},
    {"MemoryUnnamed8", 0x45, {0x8E, 0x01, 0x01, 0x00, 0x00, 0x0F},
     "m??8 from ID:01 to ID:05: addr:0x00001 val:0x0F(  15)\n"},
    {"MemoryWrite16WithoutValueShowsZero", 0x45, {0x85, 0x3F, 0x10},
     "mwrite16 from ID:3F to ID:05: addr:0x00010 val:0x0000(     0)\n"},
    {"BulkSetWearsTheBulkGetLabel", 0x45, {0xA0, 0x3F, 0x10, 0x02, 0x12, 0x34, 0x56, 0x78},
     "BulkGet from ID:3F to ID:05: S:16 Len:2> 0x1234( 4660), 0x5678(22136), \r\n"},
    {"BulkCellsAlignEveryWidthOfDecimal", 0x45,
     {0xA2, 0x3F, 0x00, 0x07, 0x00, 0x00, 0x00, 0x09, 0x00, 0x0A, 0x03, 0xE8, 0x27, 0x10, 0x80,
      0x00, 0xFF, 0xFF},
     "BulkReply from ID:3F to ID:05: S:0 Len:7> 0x0000(    0), 0x0009(    9), 0x000A(   10), "
     "0x03E8( 1000), 0x2710(10000), 0x8000(32768), 0xFFFF(65535), \r\n"},
    {"BulkGetShowsStartAndCount", 0x45, {0xA1, 0x3F, 0x10, 0x02},
     "BulkGet from ID:3F to ID:05: S:16 Len:2\r\n"},
    {"BulkReplyFillsMissingWordsWithZero", 0x7F, {0xA2, 0x05, 0x00, 0x03, 0xFF, 0xFF, 0x00, 0x01},
     "BulkReply from ID:05 to ID:3F: S:0 Len:3> 0xFFFF(65535), 0x0001(    1), "
     "0x0000(    0), \r\n"},
    {"BulkReplyWithoutCountHasNoCells", 0x7F, {0xA2, 0x05, 0xFF},
     "BulkReply from ID:05 to ID:3F: S:255 Len:0> \r\n"},
    {"UnknownCommandIsDumpedWithDestinationAfterCmd", 0x45, {0x01, 0x3F},
     "Unknown packet from ID:3F to ID:05 CMD:45: 01 3F \r\n"},
    {"UnknownCommand06", 0x85, {0x06, 0x01, 0xAB},
     "Unknown packet from ID:01 BCAST(by 05) CMD:85: 06 01 AB \r\n"},
    {"UnknownCommand90", 0x45, {0x90, 0x02}, "Unknown packet from ID:02 to ID:05 CMD:45: 90 02 \r\n"},
    {"UnknownCommandA3", 0x45, {0xA3, 0x02}, "Unknown packet from ID:02 to ID:05 CMD:45: A3 02 \r\n"},
    {"UnknownCommandFF", 0x45, {0xFF}, "Unknown packet from ID:00 to ID:05 CMD:45: FF \r\n"},
};

void PrintTo(const Rendering& rendering, std::ostream* out)
{
    *out << rendering.name;
}

class DecoderRendering : public ReceiveTest, public ::testing::WithParamInterface<Rendering> {};

TEST_P(DecoderRendering, AppendsExactlyItsLine)
{
    EXPECT_EQ(Decode(GetParam().destination, GetParam().payload), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Readable, DecoderRendering, ::testing::ValuesIn(kReadable),
                         [](const auto& info) { return std::string(info.param.name); });

struct RawRecord {
    const char* name;
    int destination;
    Bytes payload;
    uint32_t ticks;
    const char* record;
};

const RawRecord kRaw[] = {
    {"Set16", 0x85, {0x23, 0x3F, 0xFF, 0xFF}, 1000, "S,116,1000,63,5,3,65535\r\n"},
    {"Set32", 0x45, {0x32, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF}, 1000, "S,132,1000,63,5,2,-1\r\n"},
    {"Get16", 0x45, {0x43, 0x3F}, 7, "G,216,7,63,5,3\r\n"},
    {"Get32", 0x7F, {0x5F, 0x01}, 7, "G,232,7,1,63,15\r\n"},
    {"Rep16", 0x7F, {0x63, 0x05, 0x34, 0x12}, 123456, "R,316,123456,5,63,3,4660\r\n"},
    {"Rep32", 0x7F, {0x71, 0x05, 0x78, 0x56, 0x34, 0x12}, 0, "R,332,0,5,63,1,305419896\r\n"},
    {"WrappedTickCountIsSigned", 0x45, {0x43, 0x3F}, 0xFFFFFFF0u, "G,216,-16,63,5,3\r\n"},
    {"OtherPacketsKeepTheirLine", 0x45, {0x00, 0x3F}, 1, "Device reset by ID:3F to ID:05\r\n"},
    {"MemoryKeepsItsLine", 0x45, {0x80, 0x3F, 0x10, 0, 0, 0}, 1,
     "mread8 from ID:3F to ID:05: addr:0x00010\n"},
};

void PrintTo(const RawRecord& record, std::ostream* out)
{
    *out << record.name;
}

class DecoderRawMode : public ReceiveTest, public ::testing::WithParamInterface<RawRecord> {};

TEST_P(DecoderRawMode, WritesTimeStampedRecordsForRegisterPacketsOnly)
{
    RawMode = 1;
    s_ticks = GetParam().ticks;
    EXPECT_EQ(Decode(GetParam().destination, GetParam().payload), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(Raw, DecoderRawMode, ::testing::ValuesIn(kRaw),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiveTest, DecoderLeavesEarlierTextInPlaceAndAppends)
{
    TextBuffer text(200);
    text.Append("earlier ");
    const Bytes get{0x43, 0x3F};
    DecodeOrvanePacket(text, 0x45, 2, get.data(), true);
    EXPECT_STREQ(text.Text(), "earlier Get16 Reg.3 by ID:3F to ID:05\r\n");
}

TEST_F(ReceiveTest, LongestBulkLineHas3877Characters)
{
    const std::string line = Decode(0xBF, {0xA2, 0x3F, 0xFF, 0xFF});
    EXPECT_EQ(line.size(), 3877u);
    EXPECT_EQ(line.substr(line.size() - 17), "0x0000(    0), \r\n");
}

TEST_F(ReceiveTest, FieldsBeyondThePayloadLengthAreNeverRead)
{
    // Bytes after the payload stand for what an earlier packet left behind.
    const Bytes stale{0x63, 0x05, 0x34, 0x12, 0x78, 0x56};
    TextBuffer text(200);
    DecodeOrvanePacket(text, 0x7F, 2, stale.data(), true);
    EXPECT_STREQ(text.Text(), "Rep16 Reg.3 = 0x0000(    0,     0) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(NodeTable[5].reg16[3].value, 0);
    EXPECT_EQ(NodeTable[5].reg16[3].valid, 1);
}

TEST_F(ReceiveTest, SenderIsMarkedForEveryNonEmptyPacketButBursts)
{
    Decode(0x20, {0x00, 0x01, 0, 0});           // burst: no sender
    Decode(0x42, {});                           // VOID
    Decode(0x45, {0x01, 0x0C});                 // unknown command still marks
    Decode(0x45, {0x05, 0xC5, 0x09});           // SetID reply: old ID masked
    Decode(0x45, {0x43, 0x3F});
    Decode(0x45, {0x43, 0x01});
    EXPECT_EQ(ValidNodes(), "-1---5------2--------------------------------------------------3");
}

TEST_F(ReceiveTest, RegisterRepliesStoreTheirValueSetsAndGetsDoNot)
{
    Decode(0x7F, {0x63, 0x05, 0x34, 0x12});
    Decode(0x7F, {0x6F, 0x05, 0x78, 0x56, 0x34, 0x12});  // 6 bytes: kept whole
    Decode(0x7F, {0x72, 0x05, 0xFF, 0xFF});              // 4 bytes into 32-bit slot
    Decode(0x7F, {0x71, 0x05, 0xFF, 0xFF, 0xFF, 0xFF});
    Decode(0x7F, {0x24, 0x05, 0x11, 0x11});
    Decode(0x7F, {0x34, 0x05, 0x11, 0x11, 0x11, 0x11});
    Decode(0x7F, {0x44, 0x05});

    const NodeEntry& node = NodeTable[5];
    EXPECT_EQ(node.reg16[3].valid, 1);
    EXPECT_EQ(node.reg16[3].value, 0x1234);
    EXPECT_EQ(node.reg16[15].value, 0x12345678);
    EXPECT_EQ(node.reg32[2].value, 0xFFFF);
    EXPECT_EQ(node.reg32[1].value, -1);
    EXPECT_EQ(node.reg16[4].valid, 0);
    EXPECT_EQ(node.reg32[4].valid, 0);
}

TEST_F(ReceiveTest, RawModeRepliesStoreAsReadableOnesDo)
{
    RawMode = 1;
    Decode(0x7F, {0x63, 0x05, 0x34, 0x12});
    EXPECT_EQ(NodeTable[5].reg16[3].valid, 1);
    EXPECT_EQ(NodeTable[5].reg16[3].value, 0x1234);
}

TEST_F(ReceiveTest, PacketThatFailedItsChecksumIsShownButChangesNoNode)
{
    EXPECT_EQ(Decode(0x7F, {0x63, 0x05, 0x34, 0x12}, false),
              "Rep16 Reg.3 = 0x1234( 4660,  4660) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(Decode(0x7F, {0x71, 0x06, 1, 2, 3, 4}, false),
              "Rep32 Reg.1 = 0x04030201( 67305985) from ID:06 to ID:3F\r\n");
    EXPECT_EQ(ValidNodes(), std::string(kNodeCount, '-'));
    EXPECT_EQ(NodeTable[5].reg16[3].valid, 0);
    EXPECT_EQ(NodeTable[6].reg32[1].valid, 0);
}

TEST(TextBufferTest, AppendsAreCutAtTheCapacityAndStayTerminated)
{
    TextBuffer text(10);
    EXPECT_EQ(text.Append("abcd"), 4);
    EXPECT_EQ(text.Format("%d-%s", 42, "xyz"), 6);
    EXPECT_STREQ(text.Text(), "abcd42-xyz");
    EXPECT_EQ(text.Append("more"), 0);
    EXPECT_EQ(text.Format("%s", "more"), 0);
    EXPECT_EQ(text.AppendHexCells(reinterpret_cast<const unsigned char*>("\x01"), 1), 0);
    EXPECT_EQ(text.Length(), 10u);
    EXPECT_STREQ(text.Text(), "abcd42-xyz");

    text.Clear();
    EXPECT_STREQ(text.Text(), "");
    const unsigned char bytes[] = {0x00, 0xAB, 0x7F, 0x10};
    EXPECT_EQ(text.AppendHexCells(bytes, 4), 9);  // the fourth cell no longer fits
    EXPECT_STREQ(text.Text(), "00 AB 7F ");
    text.Clear();
    EXPECT_EQ(text.Format("%s", "0123456789abc"), 10);
    EXPECT_STREQ(text.Text(), "0123456789");
}

} // namespace
