#include "TransmitSupport.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/ShowNode.h"

#include <string>

namespace {

const std::string kNoNodes = "Valid Nodes: " + std::string(64, '-') + "\r\n";
const std::string kUnknown = "unknown 'shownode ( /clear/reg16/reg32)' command\r\n";
const std::string kEmpty16 = "-----(----) ";
const std::string kEmpty32 = "----------(--------) ";

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string EmptyBlock16(const std::string& header)
{
    return header + Repeat(kEmpty16, 8) + "\r\n" + Repeat(kEmpty16, 8) + "\r\n";
}

std::string EmptyBlock32(const std::string& header)
{
    const std::string line = Repeat(kEmpty32, 4) + "\r\n";
    return header + Repeat(line, 4);
}

class ShowNodeReport : public FreshNodeTable {
protected:
    // What the view would append: shownode reports with length -2 and sends nothing.
    std::string Show(const std::string& line)
    {
        const SentLine sent = SendLine(converter, line);
        EXPECT_EQ(sent.len, kSendReport) << line;
        EXPECT_TRUE(sent.boxes.empty()) << line;
        lastTextAfter = sent.textAfter;
        return sent.result ? std::string(sent.result) : std::string("<null>");
    }

    static void Reply16(int node, int reg, int32_t value)
    {
        NodeTable[node].valid = 1;
        NodeTable[node].reg16[reg] = {1, value};
    }

    static void Reply32(int node, int reg, int32_t value)
    {
        NodeTable[node].valid = 1;
        NodeTable[node].reg32[reg] = {1, value};
    }

    CXrateOV11 converter{nullptr, 63};
    std::string lastTextAfter;
};

TEST_F(ShowNodeReport, EmptyTableShowsNoValidNodes)
{
    EXPECT_EQ(Show("shownode"), kNoNodes);
    EXPECT_EQ(kNoNodes.size(), 79u);
}

TEST_F(ShowNodeReport, ValidNodesShowTheLastDigitOfTheirId)
{
    for (int node : {1, 5, 12, 63})
        NodeTable[node].valid = 1;
    std::string expected = kNoNodes;
    expected[13 + 1] = '1';
    expected[13 + 5] = '5';
    expected[13 + 12] = '2';
    expected[13 + 63] = '3';
    EXPECT_EQ(Show("shownode"), expected);
    EXPECT_EQ(Show("shownodes"), expected);
    EXPECT_EQ(Show("shownode  "), expected);
}

TEST_F(ShowNodeReport, Reg16OfNoNodeIsEmpty)
{
    EXPECT_EQ(Show("shownode reg16"), "");
    EXPECT_EQ(Show("shownode reg32"), "");
}

TEST_F(ShowNodeReport, Reg16ShowsNodesHeardFromInAscendingOrder)
{
    NodeTable[40].valid = 1;
    NodeTable[2].valid = 1;
    EXPECT_EQ(Show("shownode reg16"), EmptyBlock16("Node 2(02)  16bit registers\r\n") +
                                          EmptyBlock16("Node 40(28)  16bit registers\r\n"));
}

TEST_F(ShowNodeReport, NamedNodeIsShownEvenIfNeverHeard)
{
    EXPECT_EQ(Show("shownode reg16 7"), EmptyBlock16("Node 7(07)  16bit registers\r\n"));
    EXPECT_EQ(Show("shownode reg32 63"), EmptyBlock32("Node 63(3F)  32bit registers\r\n"));
    EXPECT_EQ(Show("shownode\treg16\t7\tignored words"),
              EmptyBlock16("Node 7(07)  16bit registers\r\n"));
}

TEST_F(ShowNodeReport, NodeNumberIsDecimalOnly)
{
    EXPECT_EQ(Show("shownode reg16 0x10"), EmptyBlock16("Node 0(00)  16bit registers\r\n"));
    EXPECT_EQ(Show("shownode reg16 abc"), EmptyBlock16("Node 0(00)  16bit registers\r\n"));
    EXPECT_EQ(Show("shownode reg16 +5x"), EmptyBlock16("Node 5(05)  16bit registers\r\n"));
}

TEST_F(ShowNodeReport, NodeNumberOutsideTheBusShowsNothing)
{
    EXPECT_EQ(Show("shownode reg32 64"), "");
    EXPECT_EQ(Show("shownode reg32 -1"), "");
    // Large numbers must not wrap around into the range of node IDs.
    EXPECT_EQ(Show("shownode reg16 18446744073709551621"), "");
    EXPECT_EQ(Show("shownode reg16 4294967301"), "");
    EXPECT_EQ(Show("shownode reg16 -18446744073709551611"), "");
}

TEST_F(ShowNodeReport, UpperCaseWordsAreLowerCasedInThePlaceOfTheText)
{
    const std::string text = Show("shownode REG32 ALL");
    EXPECT_EQ(lastTextAfter, "shownode reg32 all");
    std::string expected;
    for (int i = 0; i < 64; ++i) {
        char header[64];
        std::snprintf(header, sizeof header, "Node %d(%02X)  32bit registers\r\n", i, unsigned(i));
        expected += EmptyBlock32(header);
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), 23926u);
}

TEST_F(ShowNodeReport, RegisterCellsShowDecimalAndHex)
{
    Reply16(5, 3, 0x1234);
    Reply16(5, 8, 0);
    const std::string expected = "Node 5(05)  16bit registers\r\n" + Repeat(kEmpty16, 3) +
                                 " 4660(1234) " + Repeat(kEmpty16, 4) + "\r\n" + "    0(0000) " +
                                 Repeat(kEmpty16, 7) + "\r\n";
    EXPECT_EQ(Show("shownode reg16 5"), expected);

    Reply32(9, 0, 5);
    Reply32(9, 15, int32_t(0xDEADBEEF));
    const std::string line = Repeat(kEmpty32, 4) + "\r\n";
    EXPECT_EQ(Show("shownode reg32"),
              "Node 5(05)  32bit registers\r\n" + Repeat(line, 4) +
                  "Node 9(09)  32bit registers\r\n" +
                  "         5(00000005) " + Repeat(kEmpty32, 3) + "\r\n" + line + line +
                  Repeat(kEmpty32, 3) + "3735928559(DEADBEEF) \r\n");
}

TEST_F(ShowNodeReport, LargeSixteenBitValueWidensItsCell)
{
    Reply16(1, 0, 100000);
    Reply16(1, 1, -1);
    const std::string text = Show("shownode reg16 1");
    EXPECT_EQ(text.substr(text.find("\r\n") + 2, 35), "100000(186A0) 4294967295(FFFFFFFF) ");
}

TEST_F(ShowNodeReport, WidestTablesFitTheTransmitBuffer)
{
    for (int node = 0; node < 64; ++node) {
        for (int reg = 0; reg < 16; ++reg) {
            Reply16(node, reg, -1);
            Reply32(node, reg, -1);
        }
    }
    EXPECT_EQ(Show("shownode reg16 all").size(), 23670u);
    EXPECT_EQ(Show("shownode reg32 all").size(), 23926u);
}

TEST_F(ShowNodeReport, ClearEmptiesTheTable)
{
    Reply16(5, 3, 7);
    NodeTable[9].valid = 1;
    EXPECT_EQ(Show("shownode clear 5"), "");
    EXPECT_EQ(Show("shownode"), kNoNodes);
    EXPECT_EQ(Show("shownode reg16"), "");
    EXPECT_EQ(Show("shownode reg16 5"), EmptyBlock16("Node 5(05)  16bit registers\r\n"));
}

TEST_F(ShowNodeReport, UnknownSecondWord)
{
    EXPECT_EQ(Show("shownode reg8"), kUnknown);
    EXPECT_EQ(Show("shownode reg16;reset 5"), kUnknown);
    EXPECT_EQ(Show("shownode cleared all"), kUnknown);
}

TEST_F(ShowNodeReport, LongWordsMeanNothingAndNeverOverrun)
{
    NodeTable[7].valid = 1;
    EXPECT_EQ(Show("shownode " + std::string(5000, 'r')), kUnknown);
    EXPECT_EQ(Show("shownode reg16" + std::string(5000, 'x')), kUnknown);
    EXPECT_EQ(Show("shownode reg16 " + std::string(3000, '0') + "7"),
              EmptyBlock16("Node 7(07)  16bit registers\r\n"));
    EXPECT_EQ(Show("shownode reg16 " + std::string(3000, '9')), "");
    EXPECT_EQ(Show("shownode" + std::string(5000, 's')).size(), 79u);
}

TEST_F(ShowNodeReport, SmallBufferIsCutNotOverrun)
{
    char text[] = "shownode reg32 all";
    char out[40];
    int len = 0;
    ShowNode(text, len, out, sizeof out);
    EXPECT_EQ(len, kSendReport);
    // 39 characters and the terminator.
    EXPECT_EQ(std::string(out), "Node 0(00)  32bit registers\r\n----------");
}

} // namespace
