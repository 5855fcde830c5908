#include "ConverterHarness.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

using namespace std::string_literals;

struct ReceiveCase {
    std::string name;
    Conversion conversion;
    std::vector<std::string> chunks;   // handed to one converter in turn
    std::vector<std::string> reports;  // the report text each chunk yields
};

std::string AllBytes()
{
    std::string bytes;
    for (int i = 0; i < 512; ++i)
        bytes.push_back(static_cast<char>(i % 256));
    return bytes;
}

std::string AllBytesAsBin()
{
    std::string text;
    for (int i = 0; i < 512; ++i) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%02X ", static_cast<unsigned>(i % 256));
        text += cell;
    }
    return text;
}

std::vector<ReceiveCase> Cases()
{
    return {
        {"RawShowsBytesAsText", Conversion::Raw, {"hello\r\n"}, {"hello\r\n"}},
        {"RawStopsAtTheFirstZeroByte", Conversion::Raw, {"ab\0cd"s}, {"ab"}},
        {"RawShowsNothingForAnEmptyChunk", Conversion::Raw, {""}, {""}},
        {"RawShowsHighBytes", Conversion::Raw, {"\xe9\xff"}, {"\xe9\xff"}},
        {"RawShowsAWholeChunk", Conversion::Raw, {std::string(512, 'x')}, {std::string(512, 'x')}},
        {"RawKeepsNothingBetweenChunks", Conversion::Raw, {"4", "1"}, {"4", "1"}},

        {"HexDecodesPairsAndPassesLineEnds", Conversion::Hex, {"414243\r\n"}, {"ABC\r\n"}},
        {"HexDecodesLowercaseDigits", Conversion::Hex, {"e9"}, {"\xe9"}},
        {"HexDigitWaitsForTheNextChunk", Conversion::Hex, {"4", "1\r\n"}, {"", "A\r\n"}},
        {"HexDigitWaitsThroughEmptyChunks", Conversion::Hex, {"a", "", "", "b"}, {"", "", "", "\xab"}},
        {"HexPairOfZeroShowsNothing", Conversion::Hex, {"00", "41"}, {"", "A"}},
        {"HexMinusZeroShowsNothing", Conversion::Hex, {"-0"}, {""}},
        {"HexPassesNonHexCharactersThrough", Conversion::Hex, {"zz"}, {"zz"}},
        {"HexPassesALoneSignThrough", Conversion::Hex, {"+"}, {"+"}},
        {"HexPassesHighBytesThrough", Conversion::Hex, {"\xe9\xff"}, {"\xe9\xff"}},
        {"HexReadsMinusDigit", Conversion::Hex, {"-1"}, {"\xff"}},
        {"HexReadsDigitThenOtherAsOneDigit", Conversion::Hex, {"4G"}, {"\x04"}},
        {"HexDecodesOnlyBeforeAZeroByte", Conversion::Hex, {"41\0"s "4", "1"}, {"A", ""}},
        {"HexReadsSpaceDigitAsOnePair", Conversion::Hex, {"41 42", "0"}, {"A\x04", " "}},
        {"HexReadsLineFeedDigitAsOnePair", Conversion::Hex, {"41\r\n4243", "1"},
         {"A\r\x04\x24", "1"}},
        {"HexPassesZeroXThroughAndDecodesWhatFollows", Conversion::Hex, {"0x41"}, {"0xA"}},

        {"BinShowsEveryByteAsDigitsAndASpace", Conversion::Bin, {"\0\x41\xff"s}, {"00 41 FF "}},
        {"BinShowsBytesAfterAZeroByte", Conversion::Bin, {"A\0B"s}, {"41 00 42 "}},
        {"BinShowsNothingForAnEmptyChunk", Conversion::Bin, {""}, {""}},
        {"BinShowsA512ByteChunkIn1536Characters", Conversion::Bin, {AllBytes()}, {AllBytesAsBin()}},
    };
}

void PrintTo(const ReceiveCase& c, std::ostream* os) { *os << c.name; }

class XrateReceive : public testing::TestWithParam<ReceiveCase> {};

TEST_P(XrateReceive, ShowsWhatTheConversionMakesOfEachChunk)
{
    const ReceiveCase& c = GetParam();
    MessageBoxRecorder recorder;
    auto converter = MakeConverter(c.conversion, nullptr);
    ASSERT_EQ(c.chunks.size(), c.reports.size());
    for (size_t i = 0; i < c.chunks.size(); ++i)
        EXPECT_EQ(Receive(*converter, c.chunks[i]), c.reports[i]) << "chunk " << i;
    EXPECT_TRUE(recorder.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, XrateReceive, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ReceiveCase>& info) {
                             return info.param.name;
                         });

TEST(XrateReceiveBin, ShowsTheCountedBytesEvenWhenTheChunkStartsWithZero)
{
    CXrateBin converter(nullptr);
    const unsigned char chunk[] = {0, 0, 0, 0};
    EXPECT_STREQ(converter.XrateReceive(chunk, 3), "00 00 00 ");
}

TEST(XrateReceiveBin, ACountBeyondTheLargestChunkStaysWithinTheReport)
{
    CXrateBin converter(nullptr);
    const std::vector<unsigned char> chunk(kMaxChunk + 100, 0x41);
    const std::string shown = converter.XrateReceive(chunk.data(), kMaxChunk + 99);
    EXPECT_EQ(shown, Repeat("41 ", kMaxChunk));
}

} // namespace
