#include "ReceiveTestSupport.h"
#include "TransmitSupport.h"

#include "support/MessageBoxRecorder.h"

#include <cstring>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

// A 6-byte version 1.0 packet that renders the longest line there is: a bulk
// reply claiming 255 words.
const Bytes kTinyFullBulk = {0xBF, 0x04, 0xA2, 0x3F, 0xFF, 0xFF};
constexpr std::size_t kFullBulkLine = 3877;

struct DecodeCall {
    int destination;
    int payloadLength;
    Bytes payload;
};

// Records what the framer hands to the decoder, then decodes as usual.
template <typename Converter>
class RecordingConverter : public Converter {
public:
    RecordingConverter() : Converter(nullptr, 63) {}

    void DecodePacket(int destination, int payloadLength, const unsigned char* payload) override
    {
        calls.push_back({destination, payloadLength, Bytes(payload, payload + payloadLength)});
        Converter::DecodePacket(destination, payloadLength, payload);
    }

    std::string Feed(Bytes bytes)
    {
        const int count = static_cast<int>(bytes.size());
        bytes.push_back(0x00);
        return this->XrateReceive(bytes.data(), count);
    }

    static constexpr std::size_t kCapacity = Converter::kReceiveTextCapacity;
    std::vector<DecodeCall> calls;
};

TEST_F(ReceiveTest, FramerHandsThePayloadToTheVirtualDecoder)
{
    RecordingConverter<CXrateOV> v10;
    v10.Feed(Packet10(0x85, {0x43, 0x3F}));
    ASSERT_EQ(v10.calls.size(), 1u);
    EXPECT_EQ(v10.calls[0].destination, 0x85);
    EXPECT_EQ(v10.calls[0].payloadLength, 2);
    EXPECT_EQ(v10.calls[0].payload, Bytes({0x43, 0x3F}));

    RecordingConverter<CXrateOV11> v11;
    EXPECT_EQ(v11.Feed(Packet11(0xBF, {0x63, 0x05, 0x34, 0x12})),
              "Rep16 Reg.3 = 0x1234( 4660,  4660) from ID:05 BCAST(by 3F)\r\n");
    ASSERT_EQ(v11.calls.size(), 1u);
    EXPECT_EQ(v11.calls[0].destination, 0xBF);
    EXPECT_EQ(v11.calls[0].payload, Bytes({0x63, 0x05, 0x34, 0x12}));
}

// The busiest chunk there is: its first byte completes a packet begun in the
// chunk before, and then a 6-byte packet rendering 3877 characters follows
// every 6 bytes.
TEST_F(ReceiveTest, BusiestChunkLosesNoText)
{
    RecordingConverter<CXrateOV> converter;
    EXPECT_EQ(converter.Feed(Bytes(kTinyFullBulk.begin(), kTinyFullBulk.end() - 1)), "");
    Bytes chunk{kTinyFullBulk.back()};
    while (chunk.size() + kTinyFullBulk.size() <= kMaxChunk)
        chunk.insert(chunk.end(), kTinyFullBulk.begin(), kTinyFullBulk.end());
    chunk.push_back(0x00);
    ASSERT_EQ(chunk.size(), std::size_t(kMaxChunk));

    const std::string text = converter.Feed(chunk);
    EXPECT_EQ(converter.calls.size(), 86u);
    EXPECT_EQ(text.size(), 86 * kFullBulkLine + 1);
    const std::string header = "BulkReply from ID:3F BCAST(by 3F): S:255 Len:255> ";
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.back(), '.');
    EXPECT_LE(text.size(), converter.kCapacity);
}

TEST_F(ReceiveTest, BusiestChecksumErrorsLoseNoText)
{
    RecordingConverter<CXrateOV11> converter;
    Bytes bad = Packet11(0xBF, {0xA2, 0x3F, 0xFF, 0xFF});
    bad.back() ^= 0xFF;
    Bytes chunk;
    while (chunk.size() + bad.size() <= kMaxChunk)
        chunk.insert(chunk.end(), bad.begin(), bad.end());

    const std::string text = converter.Feed(chunk);
    EXPECT_EQ(converter.calls.size(), 64u);
    // Each packet: the 38-character dump header, eight cells, "\r\n Cand: " and its line.
    EXPECT_EQ(text.size(), 64 * (38 + 8 * 3 + 9 + kFullBulkLine));
    EXPECT_EQ(text.find("Report outputbuffer"), std::string::npos);
}

TEST_F(ReceiveTest, ManyShortPacketsInOneChunkAreAllShown)
{
    ConverterFeed receiver(FrameVersion::V11);
    Bytes chunk;
    while (chunk.size() + 6 <= kMaxChunk)
        chunk = Join({chunk, Packet11(0x45, {0x43, 0x3F})});
    const std::string text = receiver.Feed(chunk);
    std::string expected;
    for (int i = 0; i < 85; ++i)
        expected += "Get16 Reg.3 by ID:3F to ID:05\r\n";
    EXPECT_EQ(text, expected);
}

// Only a caller handing over far more than a chunk can fill the text; it is
// then cleared with a notice rather than overrun.
TEST_F(ReceiveTest, OversizedCallIsClearedWithANoticeNotOverrun)
{
    RecordingConverter<CXrateOV> converter;
    Bytes flood;
    for (int i = 0; i < 200; ++i)
        flood.insert(flood.end(), kTinyFullBulk.begin(), kTinyFullBulk.end());
    const std::string text = converter.Feed(flood);
    EXPECT_EQ(converter.calls.size(), 200u);
    const std::string notice = "Report outputbuffer Overflowed: cleared.\r\n";
    ASSERT_EQ(text.substr(0, notice.size()), notice);
    EXPECT_EQ((text.size() - notice.size()) % kFullBulkLine, 0u);
    EXPECT_LE(text.size(), converter.kCapacity);
}

// A packet in progress is never dropped, however many of its bytes are pending
// when a chunk ends.
TEST_F(ReceiveTest, LongPacketStraddlingChunksShowsNoBoxAndIsDecoded)
{
    MessageBoxRecorder boxes;
    Bytes payload{0xA2, 0x3F, 0x00, 125};
    payload.insert(payload.end(), 251, 0x11);
    for (FrameVersion version : {FrameVersion::V10, FrameVersion::V11}) {
        ConverterFeed receiver(version);
        const Bytes packet = version == FrameVersion::V10 ? Packet10(0x45, payload)
                                                          : Packet11(0x45, payload);
        EXPECT_EQ(receiver.Feed(Bytes(packet.begin(), packet.end() - 1)), "");
        const std::string text = receiver.Feed({packet.back()});
        const std::string header = "BulkReply from ID:3F to ID:05: S:0 Len:125> ";
        EXPECT_EQ(text.substr(0, header.size()), header);
        EXPECT_EQ(text.size(), header.size() + 125 * 15 + 2);
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ReceiveTest, BadChecksumLeavesShownodeWithTheLastGoodValue)
{
    ConverterFeed receiver(FrameVersion::V11);
    receiver.Feed(Packet11(0x7F, {0x63, 0x05, 0x34, 0x12}));
    Bytes corrupt = Packet11(0x7F, {0x63, 0x05, 0x78, 0x56});
    corrupt.back() ^= 0x01;
    EXPECT_NE(receiver.Feed(corrupt).find(" Cand: Rep16 Reg.3 = 0x5678"), std::string::npos);

    CXrateOV11 transmit(nullptr, 63);
    const SentLine sent = SendLine(transmit, "shownode reg16 5");
    EXPECT_EQ(sent.len, kSendReport);
    EXPECT_EQ(std::string(sent.result),
              "Node 5(05)  16bit registers\r\n"
              "-----(----) -----(----) -----(----)  4660(1234) -----(----) -----(----) "
              "-----(----) -----(----) \r\n"
              "-----(----) -----(----) -----(----) -----(----) -----(----) -----(----) "
              "-----(----) -----(----) \r\n");
    EXPECT_EQ(std::string(SendLine(transmit, "shownode").result),
              "Valid Nodes: -----5" + std::string(58, '-') + "\r\n");
}

TEST_F(ReceiveTest, NewConverterStartsWithAnEmptyPacket)
{
    ConverterFeed first(FrameVersion::V11);
    EXPECT_EQ(first.Feed({0x45, 0x02, 0xFD, 0x43}), "");
    ConverterFeed second(FrameVersion::V11);
    EXPECT_EQ(second.Feed(Packet11(0x45, {0x00, 0x3F})), "Device reset by ID:3F to ID:05\r\n");
}

} // namespace
