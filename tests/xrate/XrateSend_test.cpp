#include "ConverterHarness.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

struct SendCase {
    std::string name;
    Conversion conversion;
    std::string command;
    std::string bytes;    // what reaches the port
    int len;              // len after the call
    std::string message;  // the "Binary Translate Alart" text, empty when none
};

std::string CannotRead(const std::string& pair, int position)
{
    return "Cannot read as hexadecimal\n'" + pair + "' : " + std::to_string(position) +
           "th character";
}

const char kOdd[] = "Input must be sequential pair of hex chars without space";

std::vector<SendCase> RawCases()
{
    return {
        {"RawEmptyCommandSendsTheLineEndAlone", Conversion::Raw, "", "\r\n", kSendText, ""},
        {"RawSendsTheCommandAsTyped", Conversion::Raw, "get16 5 3", "get16 5 3\r\n", kSendText, ""},
        {"RawKeepsPastedLineBreaks", Conversion::Raw, "a\r\nb", "a\r\nb\r\n", kSendText, ""},
        {"RawSendsHighBytesUnchanged", Conversion::Raw, "\xe9\xff", "\xe9\xff\r\n", kSendText, ""},
        {"RawSends1020CharactersWhole", Conversion::Raw, Counting(1020), Counting(1020) + "\r\n",
         kSendText, ""},
        {"RawCutsA1021CharacterCommandTo1020", Conversion::Raw, Counting(1021),
         Counting(1020) + "\r\n", kSendText, ""},
        {"RawCutsA1500CharacterCommandTo1020", Conversion::Raw, Counting(1500),
         Counting(1020) + "\r\n", kSendText, ""},
    };
}

std::vector<SendCase> HexCases()
{
    return {
        {"HexEmptyCommandSendsTheLineEndAlone", Conversion::Hex, "", "\r\n", kSendText, ""},
        {"HexSendsTwoUppercaseDigitsPerCharacter", Conversion::Hex, "AB", "4142\r\n", kSendText, ""},
        {"HexSendsCode233AsE9", Conversion::Hex, "\xe9", "E9\r\n", kSendText, ""},
        {"HexSendsControlAndHighCharacters", Conversion::Hex, "\x01\x7f\x80 z\xff",
         "017F80207AFF\r\n", kSendText, ""},
        {"HexSends500CharactersWhole", Conversion::Hex, std::string(500, 'A'),
         Repeat("41", 500) + "\r\n", kSendText, ""},
        {"HexCutsA501CharacterCommandTo500", Conversion::Hex, std::string(500, 'A') + "B",
         Repeat("41", 500) + "\r\n", kSendText, ""},
        {"HexCutsA600CharacterCommandTo1000Digits", Conversion::Hex,
         std::string(500, 'A') + std::string(100, 'B'), Repeat("41", 500) + "\r\n", kSendText, ""},
    };
}

std::vector<SendCase> BinCases()
{
    const std::string fullCommand = Repeat("41", 512);
    const std::string fullBytes(512, 'A');
    return {
        {"BinSendsTheBytesOfDigitPairs", Conversion::Bin, "0d0A", "\x0d\x0a", 2, ""},
        {"BinEmptyCommandSendsNoBytes", Conversion::Bin, "", "", 0, ""},
        {"BinSendsZeroBytesAndCountsThem", Conversion::Bin, "00ff00", std::string("\0\xff\0", 3), 3,
         ""},
        {"BinReadsDigitThenSpaceAsOneDigit", Conversion::Bin, "4 ", "\x04", 1, ""},
        {"BinReadsSpaceThenDigitAsOneDigit", Conversion::Bin, "\t4", "\x04", 1, ""},
        {"BinReadsMinusOneAs255", Conversion::Bin, "-1", "\xff", 1, ""},
        {"BinRejectsAnOddLengthCommand", Conversion::Bin, "123", "", kSendText, kOdd},
        {"BinRejectsAnUnreadablePairWithItsPosition", Conversion::Bin, "41zz", "", kSendText,
         CannotRead("zz", 2)},
        {"BinRejectsZeroXAtPositionZero", Conversion::Bin, "0x", "", kSendText, CannotRead("0x", 0)},
        {"BinRejectsZeroXEvenBeforeGoodPairs", Conversion::Bin, "0X41", "", kSendText,
         CannotRead("0X", 0)},
        {"BinRejectsTwoSpaces", Conversion::Bin, "41  42", "", kSendText, CannotRead("  ", 2)},
        {"BinRejectsAPastedLineBreak", Conversion::Bin, "41\r\n", "", kSendText,
         CannotRead("\r\n", 2)},
        {"BinNamesATwoDigitPosition", Conversion::Bin, "4142434445464748494a4bG1", "", kSendText,
         CannotRead("G1", 22)},
        {"BinReadsOnlyTheFirst1024Characters", Conversion::Bin, fullCommand + "z", fullBytes, 512,
         ""},
        {"BinIgnoresAnUnreadablePairBeyond1024", Conversion::Bin, fullCommand + "zz", fullBytes,
         512, ""},
        {"BinReadsTheLastPairBefore1024", Conversion::Bin, Repeat("41", 511) + "zz", "", kSendText,
         CannotRead("zz", 1022)},
        {"BinRejects1023Characters", Conversion::Bin, Repeat("41", 511) + "4", "", kSendText, kOdd},
    };
}

std::vector<SendCase> AllCases()
{
    std::vector<SendCase> cases = RawCases();
    for (auto* more : {HexCases, BinCases})
        for (SendCase& c : more())
            cases.push_back(std::move(c));
    return cases;
}

void PrintTo(const SendCase& c, std::ostream* os) { *os << c.name; }

class XrateSend : public testing::TestWithParam<SendCase> {};

TEST_P(XrateSend, SendsWhatTheConversionMakesOfTheCommand)
{
    const SendCase& c = GetParam();
    MessageBoxRecorder recorder;
    int view = 0;
    auto converter = MakeConverter(c.conversion, &view);

    const Sent sent = Send(*converter, c.command);

    EXPECT_EQ(sent.len, c.len);
    EXPECT_EQ(sent.bytes, c.bytes);
    if (c.message.empty()) {
        EXPECT_TRUE(recorder.calls.empty());
        return;
    }
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].text, c.message);
    EXPECT_EQ(recorder.calls[0].caption, "Binary Translate Alart");
    EXPECT_EQ(recorder.calls[0].type, 48u);
    EXPECT_EQ(recorder.calls[0].owner, &view);
}

INSTANTIATE_TEST_SUITE_P(Cases, XrateSend, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<SendCase>& info) { return info.param.name; });

TEST(XrateSendBin, AcceptedCommandAfterARejectedOneSendsOnlyItsOwnBytes)
{
    MessageBoxRecorder recorder;
    CXrateBin converter(nullptr);
    Send(converter, "41zz");
    const Sent sent = Send(converter, "42");
    EXPECT_EQ(sent.len, 1);
    EXPECT_EQ(sent.bytes, "B");
    EXPECT_EQ(recorder.calls.size(), 1u);
}

TEST(XrateSendBin, LeavesTheCommandTextAsTyped)
{
    MessageBoxRecorder recorder;
    CXrateBin converter(nullptr);
    char text[] = "0d0a";
    int len = kSendText;
    converter.XrateSend(text, len);
    EXPECT_STREQ(text, "0d0a");
}

} // namespace
