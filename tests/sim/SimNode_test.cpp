#include "sim/SimNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sim;

namespace {

using Bytes = std::vector<unsigned char>;

std::string Ask(SimNode& node, int destination, const Bytes& payload)
{
    return node.Answer(destination, payload.data(), static_cast<int>(payload.size()));
}

struct AnswerCase {
    const char* name;
    int destination;
    Bytes payload;
    const char* statement;  // "" when the node stays silent
};

void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class SimNodeAnswers : public testing::TestWithParam<AnswerCase> {};

TEST_P(SimNodeAnswers, AnswerFromPowerOnState)
{
    SimNode node(5);
    EXPECT_EQ(Ask(node, GetParam().destination, GetParam().payload), GetParam().statement);
}

INSTANTIATE_TEST_SUITE_P(
    Node5, SimNodeAnswers,
    testing::Values(
        AnswerCase{"get16", 0x45, {0x43, 0x3F}, "reply16 63 3 0x0503"},
        AnswerCase{"get32", 0x45, {0x52, 0x3F}, "reply32 63 2 0x05000002"},
        AnswerCase{"get16FromNode12", 0x45, {0x4F, 0x0C}, "reply16 12 15 0x050F"},
        AnswerCase{"senderIsLowSixBits", 0x45, {0x40, 0xFF}, "reply16 63 0 0x0500"},
        AnswerCase{"broadcastGet16", 0xBF, {0x41, 0x3F}, "reply16 63 1 0x0501"},
        AnswerCase{"read8", 0x45, {0x80, 0x3F, 0x10, 0x00, 0x00, 0x00}, "mreply8 63 0x000010 0x15"},
        AnswerCase{"read16", 0x45, {0x81, 0x3F, 0x10, 0x00, 0x00, 0x00, 0x00},
                   "mreply16 63 0x000010 0x1615"},
        AnswerCase{"readWrapsButEchoesAddress", 0x45, {0x80, 0x3F, 0x10, 0x02, 0x01, 0x00},
                   "mreply8 63 0x010210 0x15"},
        AnswerCase{"read16AtLastByteWraps", 0x45, {0x81, 0x3F, 0xFF, 0x01, 0x00, 0x00, 0x00},
                   "mreply16 63 0x0001FF 0x0504"},
        AnswerCase{"requestProfile", 0x45, {0x02, 0x3F},
                   "repprof 63 Orvane sim node 5: 16x16-bit, 16x32-bit registers, 512-byte memory"},
        AnswerCase{"setid", 0x45, {0x04, 0x3F, 0x09}, "setidreply 63 5 9"},
        AnswerCase{"setidAbove63", 0x45, {0x04, 0x3F, 0xC8}, ""},
        AnswerCase{"bulkget", 0x45, {0xA1, 0x3F, 0x01, 0x02}, "bulkreply 63 1 2 0x0807 0x0A09"},
        AnswerCase{"bulkgetNone", 0x45, {0xA1, 0x3F, 0x07, 0x00}, "bulkreply 63 7 0"},
        AnswerCase{"bulkgetWrapsAtWord256", 0x45, {0xA1, 0x3F, 0xFF, 0x02},
                   "bulkreply 63 255 2 0x0403 0x0605"},
        AnswerCase{"bulkgetTooManyWords", 0x45, {0xA1, 0x3F, 0x00, 126}, ""},
        AnswerCase{"otherNode", 0x46, {0x43, 0x3F}, ""},
        AnswerCase{"burstByte", 0x20, {0x43, 0x3F}, ""},
        AnswerCase{"specialKind", 0xC5, {0x43, 0x3F}, ""},
        AnswerCase{"ownPacket", 0x45, {0x43, 0x05}, ""},
        AnswerCase{"ownBroadcast", 0x85, {0x43, 0x05}, ""},
        AnswerCase{"emptyPayload", 0x45, {}, ""},
        AnswerCase{"commandOnly", 0x45, {0x43}, ""},
        AnswerCase{"read8TooShort", 0x45, {0x80, 0x3F, 0x10, 0x00}, ""},
        AnswerCase{"setidTooShort", 0x45, {0x04, 0x3F}, ""},
        AnswerCase{"bulkgetTooShort", 0x45, {0xA1, 0x3F, 0x00}, ""},
        AnswerCase{"replyIsNotAnswered", 0x45, {0x63, 0x3F, 0x34, 0x12}, ""},
        AnswerCase{"memoryReplyIsNotAnswered", 0x45, {0x82, 0x3F, 0x10, 0x00, 0x00, 0x01}, ""},
        AnswerCase{"unknownCommand", 0x45, {0x01, 0x3F}, ""},
        AnswerCase{"set16", 0x45, {0x23, 0x3F, 0x45, 0x23}, ""},
        AnswerCase{"reset", 0x45, {0x00, 0x3F}, ""}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(SimNode, SetThenGetReturnsTheStoredValues)
{
    SimNode node(5);
    EXPECT_EQ(Ask(node, 0x45, {0x23, 0x3F, 0x45, 0x23}), "");
    EXPECT_EQ(Ask(node, 0x45, {0x43, 0x3F}), "reply16 63 3 0x2345");
    EXPECT_EQ(Ask(node, 0x45, {0x31, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF}), "");
    EXPECT_EQ(Ask(node, 0x45, {0x51, 0x3F}), "reply32 63 1 0xFFFFFFFF");
    EXPECT_EQ(node.Reg16(3), 0x2345);
    EXPECT_EQ(node.Reg32(1), 0xFFFFFFFFu);
}

TEST(SimNode, SetWithShortPayloadChangesNothing)
{
    SimNode node(5);
    Ask(node, 0x45, {0x23, 0x3F, 0x45});
    Ask(node, 0x45, {0x31, 0x3F, 0x01, 0x02, 0x03});
    EXPECT_EQ(node.Reg16(3), 0x0503);
    EXPECT_EQ(node.Reg32(1), 0x05000001u);
}

TEST(SimNode, MemoryWritesAreReadBackInBothWidths)
{
    SimNode node(5);
    Ask(node, 0x45, {0x84, 0x3F, 0x10, 0x00, 0x00, 0xAB});
    EXPECT_EQ(Ask(node, 0x45, {0x80, 0x3F, 0x10, 0x00, 0x00, 0x00}), "mreply8 63 0x000010 0xAB");
    Ask(node, 0x45, {0x85, 0x3F, 0x20, 0x00, 0x00, 0x34, 0x12});
    EXPECT_EQ(Ask(node, 0x45, {0x81, 0x3F, 0x20, 0x00, 0x00, 0x00, 0x00}),
              "mreply16 63 0x000020 0x1234");
    EXPECT_EQ(Ask(node, 0x45, {0x80, 0x3F, 0x21, 0x00, 0x00, 0x00}), "mreply8 63 0x000021 0x12");
    // A 16-bit write at the last byte wraps to address 0.
    Ask(node, 0x45, {0x85, 0x3F, 0xFF, 0x01, 0x00, 0xCD, 0xEF});
    EXPECT_EQ(node.Byte(0x1FF), 0xCD);
    EXPECT_EQ(node.Byte(0), 0xEF);
}

TEST(SimNode, BulkWordsAreTheSixteenBitMemoryWords)
{
    SimNode node(5);
    // bulkset start 16, words 0x1234 0x5678 (big-endian on the wire)
    EXPECT_EQ(Ask(node, 0x45, {0xA0, 0x3F, 16, 2, 0x12, 0x34, 0x56, 0x78}), "");
    EXPECT_EQ(Ask(node, 0x45, {0xA1, 0x3F, 16, 2}), "bulkreply 63 16 2 0x1234 0x5678");
    EXPECT_EQ(Ask(node, 0x45, {0x81, 0x3F, 0x20, 0x00, 0x00, 0x00, 0x00}),
              "mreply16 63 0x000020 0x1234");
    EXPECT_EQ(node.Word(0x22), 0x5678);
}

TEST(SimNode, BulksetStoresOnlyTheWordsItCarries)
{
    SimNode node(5);
    const uint16_t before = node.Word(2 * 17);
    Ask(node, 0x45, {0xA0, 0x3F, 16, 3, 0x12, 0x34, 0x56});
    EXPECT_EQ(node.Word(2 * 16), 0x1234);
    EXPECT_EQ(node.Word(2 * 17), before);
}

TEST(SimNode, BulkgetOfTheLargestReplyListsEveryWord)
{
    SimNode node(5);
    const std::string reply = Ask(node, 0x45, {0xA1, 0x3F, 0, kSimMaxBulkWords});
    ASSERT_EQ(reply.rfind("bulkreply 63 0 125 0x0605 ", 0), 0u);
    EXPECT_EQ(reply.size(), std::string("bulkreply 63 0 125").size() + 125 * 7);
}

TEST(SimNode, SetidChangesTheAddressTheNodeAnswers)
{
    SimNode node(5);
    EXPECT_EQ(Ask(node, 0x45, {0x04, 0x3F, 0x09}), "setidreply 63 5 9");
    EXPECT_EQ(node.Id(), 9);
    EXPECT_EQ(Ask(node, 0x45, {0x43, 0x3F}), "");
    EXPECT_EQ(Ask(node, 0x49, {0x43, 0x3F}), "reply16 63 3 0x0503");
    EXPECT_EQ(Ask(node, 0x49, {0x04, 0x3F, 0x3F}), "setidreply 63 9 63");
    // Now it shares the monitor's ID and ignores what the monitor sends.
    EXPECT_EQ(Ask(node, 0x7F, {0x43, 0x3F}), "");
}

TEST(SimNode, ResetRestoresPowerOnValuesButKeepsTheId)
{
    SimNode node(5);
    Ask(node, 0x45, {0x04, 0x3F, 0x09});
    Ask(node, 0x49, {0x23, 0x3F, 0x45, 0x23});
    Ask(node, 0x49, {0x84, 0x3F, 0x10, 0x00, 0x00, 0xAB});
    Ask(node, 0xBF, {0x00, 0x3F});
    EXPECT_EQ(node.Id(), 9);
    // Power-on values follow the ID the node has now.
    EXPECT_EQ(node.Reg16(3), 0x0903);
    EXPECT_EQ(node.Byte(0x10), 0x19);
}

TEST(SimNode, TrafficReportsAdvanceTheLiveRegisters)
{
    SimNode node(12);
    EXPECT_EQ(node.TrafficReport(false), "reply16 all 15 0x0C10");
    EXPECT_EQ(node.TrafficReport(false), "reply16 all 15 0x0C11");
    EXPECT_EQ(node.TrafficReport(true), "reply32 all 15 0x0C000010");
    EXPECT_EQ(Ask(node, 0x4C, {0x4F, 0x3F}), "reply16 63 15 0x0C11");
}

} // namespace
