#include "TransmitSupport.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/Checksum11.h"

#include <string>
#include <vector>

// The edges of the fixed buffers: longest payloads, longest tokens and the
// line that no longer fits the transmit buffer.

namespace {

const char* const kLineTooLong =
    "The packets of this line exceed 32768 bytes\nnothing of the line was sent";

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

class EncoderLimits : public FreshNodeTable {};

TEST_F(EncoderLimits, WorkedExampleChecksum)
{
    const unsigned char payload[] = {0x43, 0x3F};
    EXPECT_EQ(Checksum11(payload, 2), 0x742);
    EXPECT_EQ(Checksum11(payload, 0), 0);
}

TEST_F(EncoderLimits, ChecksumByteIgnoresHighNibbleOfXor)
{
    // Same byte sum (0x30); the XORs 0x30 and 0x10 differ only in the high nibble.
    const unsigned char a[] = {0x10, 0x20};
    const unsigned char b[] = {0x18, 0x18};
    EXPECT_NE(Checksum11(a, 2), Checksum11(b, 2));
    EXPECT_EQ(Checksum11(a, 2) & 0xFF, Checksum11(b, 2) & 0xFF);
}

TEST_F(EncoderLimits, BulkOf125WordsFillsTheLengthByte)
{
    CXrateOV11 converter(nullptr, 63);
    const SentLine sent = SendLine(converter, "bulkset 5 0 125" + Repeat(" 0x0102", 125));
    ASSERT_TRUE(sent.boxes.empty());
    ASSERT_EQ(sent.len, 254 + 4);
    EXPECT_EQ(sent.bytes[1], 254);
    EXPECT_EQ(sent.bytes[2], 254 ^ 0xFF);
    EXPECT_EQ(sent.bytes[3 + 4 + 2 * 124], 0x01);
    EXPECT_EQ(sent.bytes[3 + 4 + 2 * 124 + 1], 0x02);
    EXPECT_EQ(sent.bytes[3 + 254], Checksum11(sent.bytes.data() + 3, 254) & 0xFF);
}

TEST_F(EncoderLimits, ProfileOf253CharactersIsTheLongestPayload)
{
    CXrateOV11 converter(nullptr, 63);
    const std::string text = Repeat("p", 253);
    const SentLine sent = SendLine(converter, "repprof 5 " + text);
    ASSERT_TRUE(sent.boxes.empty());
    ASSERT_EQ(sent.len, 255 + 4);
    EXPECT_EQ(sent.bytes[1], 0xFF);
    EXPECT_EQ(sent.bytes[2], 0x00);
    EXPECT_EQ(std::string(sent.bytes.begin() + 5, sent.bytes.begin() + 5 + 253), text);
    EXPECT_EQ(sent.bytes[258], Checksum11(sent.bytes.data() + 3, 255) & 0xFF);
}

TEST_F(EncoderLimits, LongerProfileIsRefusedAndOthersStillSent)
{
    CXrateOV converter(nullptr, 63);
    const SentLine sent = SendLine(converter, "replyprofile 5 " + Repeat("p", 254) + ";reset 5");
    EXPECT_EQ(HexText(sent.bytes), "45 02 00 3F");
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].text,
              "replyprofile: profile text longer than 253 characters\nthe statement was not sent");
    EXPECT_EQ(sent.boxes[0].caption, "Orvane tx");
}

TEST_F(EncoderLimits, ArgumentOf199CharactersIsRead)
{
    CXrateOV converter(nullptr, 63);
    const SentLine sent = SendLine(converter, "set16 5 3 " + Repeat("0", 198) + "7");
    EXPECT_TRUE(sent.boxes.empty());
    EXPECT_EQ(HexText(sent.bytes), "45 04 23 3F 07 00");
}

TEST_F(EncoderLimits, LongerArgumentIsRefused)
{
    for (const std::string& line : {"set16 5 3 " + Repeat("0", 200),
                                    "burst 1 2 3 4 " + Repeat("9", 300),
                                    "bulkset 5 1 1 " + Repeat("1", 200)}) {
        CXrateOV converter(nullptr, 63);
        const SentLine sent = SendLine(converter, line);
        EXPECT_EQ(sent.len, 0) << line;
        ASSERT_EQ(sent.boxes.size(), 1u);
        EXPECT_NE(sent.boxes[0].text.find(": an argument is longer than 199 characters\n"
                                          "the statement was not sent"),
                  std::string::npos);
        EXPECT_EQ(sent.boxes[0].caption, "Orvane tx");
    }
}

TEST_F(EncoderLimits, LongCommandWordIsCutTo199InItsMessage)
{
    CXrateOV converter(nullptr, 63);
    const SentLine sent = SendLine(converter, Repeat("X", 500) + " 5");
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].text, "Illegal command '" + Repeat("x", 199) + "'");
}

TEST_F(EncoderLimits, LongDestinationWordIsJudgedByItsFirst199Characters)
{
    CXrateOV converter(nullptr, 63);
    // The arguments follow the whole destination word, not its first 199 characters.
    SentLine sent = SendLine(converter, "get16 12" + Repeat("z", 400) + " 3");
    EXPECT_TRUE(sent.boxes.empty());
    EXPECT_EQ(HexText(sent.bytes), "4C 02 43 3F");
    sent = SendLine(converter, "get16 " + Repeat("z", 199) + "cast 3");
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].text, "Destination is not collect\n(0-63, all)");
}

TEST_F(EncoderLimits, LineThatFillsTransmitDataExactlyIsSent)
{
    CXrateOV11 converter(nullptr, 63);
    const SentLine sent = SendLine(converter, Repeat("nops;", 1024));
    EXPECT_TRUE(sent.boxes.empty());
    EXPECT_EQ(sent.len, kTransmitDataSize);
}

TEST_F(EncoderLimits, LineBeyondTransmitDataSendsNothing)
{
    CXrateOV11 converter(nullptr, 63);
    const SentLine sent = SendLine(converter, Repeat("nops;", 1024) + "reset 5");
    EXPECT_EQ(sent.len, 0);
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].text, kLineTooLong);
    EXPECT_EQ(sent.boxes[0].caption, "Orvane tx");

    // The converter is fine afterwards.
    EXPECT_EQ(HexText(SendLine(converter, "get16 5 3").bytes), "45 02 FD 43 3F 42");
}

TEST_F(EncoderLimits, ManyLargestPacketsUpToTheBuffer)
{
    // 126 packets of 259 bytes fit; the 127th does not.
    CXrateOV11 converter(nullptr, 63);
    const std::string statement = "repprof all " + Repeat("q", 253) + ";";
    SentLine sent = SendLine(converter, Repeat(statement, 126));
    EXPECT_TRUE(sent.boxes.empty());
    EXPECT_EQ(sent.len, 126 * 259);
    sent = SendLine(converter, Repeat(statement, 127));
    EXPECT_EQ(sent.len, 0);
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].text, kLineTooLong);
}

TEST_F(EncoderLimits, SeparatorsBecomeTerminatorsInTheCallersText)
{
    CXrateOV converter(nullptr, 63);
    const SentLine sent = SendLine(converter, "get16 5 3;reset 5");
    EXPECT_EQ(sent.textAfter, "get16 5 3");
    EXPECT_EQ(sent.len, 8);
}

TEST_F(EncoderLimits, LineWithoutPacketsReturnsLengthZero)
{
    CXrateOV converter(nullptr, 63);
    SendLine(converter, "reset 5");
    const SentLine sent = SendLine(converter, "foo");
    EXPECT_EQ(sent.len, 0);
    EXPECT_NE(sent.result, nullptr);
}

TEST_F(EncoderLimits, OwnNodeIdIsTheSenderAndBroadcastSource)
{
    CXrateOV converter(nullptr, 7);
    EXPECT_EQ(HexText(SendLine(converter, "reset all;get16 this 1").bytes),
              "87 02 00 07 47 02 41 07");
}

TEST_F(EncoderLimits, MessageBoxesBelongToTheOwningView)
{
    int view = 0;
    CXrateOV converter(&view, 63);
    const SentLine sent = SendLine(converter, "foo");
    ASSERT_EQ(sent.boxes.size(), 1u);
    EXPECT_EQ(sent.boxes[0].owner, &view);
}

TEST_F(EncoderLimits, BuildPacketLeavesLengthForNothing)
{
    CXrateOV11 converter(nullptr, 63);
    MessageBoxRecorder recorder;
    unsigned char packet[kStatementBufferSize] = {};
    int len = -1;
    converter.BuildPacket("   ", len, packet);
    EXPECT_EQ(len, -1);
    converter.BuildPacket("get16 5 3", len, packet);
    EXPECT_EQ(len, 6);
    EXPECT_EQ(HexText({packet, packet + 6}), "45 02 FD 43 3F 42");
    EXPECT_TRUE(recorder.calls.empty());
}

} // namespace
