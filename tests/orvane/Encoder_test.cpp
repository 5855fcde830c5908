#include "TransmitSupport.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct Box {
    std::string text;
    std::string caption;
};

struct EncodeCase {
    const char* name;
    int version;           // 10 or 11
    std::string line;
    std::string bytes;     // expected packet bytes in hex; empty: nothing is sent
    std::vector<Box> boxes;
};

const std::string kTransmit = "Orvane transmit";
const std::string kTx = "Orvane tx";
const Box kDestinationBox{"Destination is not collect\n(0-63, all)", kTransmit};
const Box kBurstBox{"'Burst' command without enough params.", kTransmit};

void PrintTo(const EncodeCase& c, std::ostream* os)
{
    *os << "v" << c.version << " \"" << c.line << "\"";
}

std::unique_ptr<CXrateOV> MakeConverter(int version)
{
    if (version == 11)
        return std::make_unique<CXrateOV11>(nullptr, 63);
    return std::make_unique<CXrateOV>(nullptr, 63);
}

std::string Zeros(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += i ? " 00" : "00";
    return text;
}

const EncodeCase kCases[] = {
    // Destinations.
    {"ResetToNode", 10, "reset 5", "45 02 00 3F", {}},
    {"ResetToAll", 10, "reset all", "BF 02 00 3F", {}},
    {"ThisIsOwnNodeAnyCase", 10, "RESET This", "7F 02 00 3F", {}},
    {"BroadcastWord", 10, "get16 broadcast 3", "BF 02 43 3F", {}},
    {"AnyWordWithCastBroadcasts", 10, "get16 bcast 3", "BF 02 43 3F", {}},
    {"CastInUpperCaseBroadcasts", 10, "get16 PODCAST 3", "BF 02 43 3F", {}},
    {"HexDestination", 10, "get16 0x3f 3", "7F 02 43 3F", {}},
    {"OnlyLeadingNumberOfDestinationCounts", 10, "get16 12abc 3", "4C 02 43 3F", {}},
    {"NodeZero", 10, "reset 0", "40 02 00 3F", {}},
    {"DestinationAbove63Refused", 10, "reset 64", "", {kDestinationBox}},
    {"HexDestinationAbove63Refused", 10, "reset 0x40", "", {kDestinationBox}},
    {"NegativeDestinationRefused", 10, "reset -1", "", {kDestinationBox}},
    {"WordDestinationRefused", 10, "reset foo", "", {kDestinationBox}},
    {"MissingDestinationShowsWordAsTyped", 10, "reset", "",
     {{"Syntax error\nreset <destination> args", kTransmit}}},
    {"MissingDestinationKeepsCase", 10, "Reset", "",
     {{"Syntax error\nReset <destination> args", kTransmit}}},
    {"UnknownCommand", 10, "foo 5", "", {{"Illegal command 'foo'", kTransmit}}},
    {"UnknownCommandShownLowerCase", 10, "FOO 5", "", {{"Illegal command 'foo'", kTransmit}}},

    // Zero fill.
    {"NopIgnoresArguments", 10, "nop 5 6", "00", {}},
    {"NopsIs32Zeros", 10, "nops", Zeros(32), {}},
    {"NopHasNoFramingInVersion11", 11, "nop", "00", {}},
    {"NopsHasNoFramingInVersion11", 11, "NOPS", Zeros(32), {}},

    // Every payload of the table.
    {"RequestProfile", 10, "reqprof 5", "45 02 02 3F", {}},
    {"RequestProfileLongWord", 10, "requestprofile all", "BF 02 02 3F", {}},
    {"SetId", 10, "setid 5 9", "45 03 04 3F 09", {}},
    {"SetIdNotRangeChecked", 10, "setid 5 200", "45 03 04 3F C8", {}},
    {"SetIdReplyCarriesOldId", 10, "setidreply 5 7 9", "45 03 05 07 09", {}},
    {"Set16MasksRegisterAndValue", 10, "set16 5 0x13 0x12345", "45 04 23 3F 45 23", {}},
    {"Reply16", 10, "reply16 5 2 0xABCD", "45 04 62 3F CD AB", {}},
    {"Get16", 10, "get16 5 3", "45 02 43 3F", {}},
    {"Get32HighestRegister", 10, "get32 5 0X1F", "45 02 5F 3F", {}},
    {"Set32Negative", 10, "set32 5 1 -1", "45 06 31 3F FF FF FF FF", {}},
    {"Set32DecimalWrapsLikeHex", 10, "set32 5 1 4294967295", "45 06 31 3F FF FF FF FF", {}},
    {"Reply32", 10, "reply32 5 15 0x12345678", "45 06 7F 3F 78 56 34 12", {}},
    {"PlusSignAccepted", 10, "set16 5 +3 7", "45 04 23 3F 07 00", {}},
    {"Read8", 10, "read8 5 0x10", "45 06 80 3F 10 00 00 00", {}},
    {"Read16AddressIs24Bits", 10, "read16 5 0x12345678", "45 07 81 3F 78 56 34 00 00", {}},
    {"MemReply8", 10, "mreply8 5 0x10 0x1FF", "45 06 82 3F 10 00 00 FF", {}},
    {"MemReply16", 10, "mreply16 5 0x10 0x1234", "45 07 83 3F 10 00 00 34 12", {}},
    {"Write8", 10, "write8 5 0x20 7", "45 06 84 3F 20 00 00 07", {}},
    {"Write16ToThis", 10, "write16 this 0x12345 0x1FF", "7F 07 85 3F 45 23 01 FF 01", {}},
    {"BulkSetWordsBigEndian", 10, "bulkset 5 16 2 0x1234 0x5678",
     "45 08 A0 3F 10 02 12 34 56 78", {}},
    {"BulkSetNoWords", 10, "bset 5 0 0", "45 04 A0 3F 00 00", {}},
    {"BulkReplySurplusWordIgnored", 10, "breply 5 1 1 0xBEEF 9", "45 06 A2 3F 01 01 BE EF", {}},
    {"BulkReplyLongWord", 10, "bulkreply 5 1 1 -1", "45 06 A2 3F 01 01 FF FF", {}},
    {"BulkGetStartIsLowByte", 10, "bulkget 5 300 2", "45 04 A1 3F 2C 02", {}},
    {"BulkGetCountNotLimited", 10, "bget 5 1 300", "45 04 A1 3F 01 2C", {}},
    {"Burst", 10, "burst 1 2 3 4 5",
     "20 14 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00", {}},
    {"BurstFullWidthValues", 10, "burst -1 0x12345678 0 0 0",
     "20 14 FF FF FF FF 78 56 34 12 00 00 00 00 00 00 00 00 00 00 00 00", {}},
    {"ReplyProfileText", 10, "repprof 5 Hello", "45 07 03 3F 48 65 6C 6C 6F", {}},
    {"ReplyProfileEmpty", 10, "repprof 5", "45 02 03 3F", {}},
    {"ReplyProfileOneBlankAfterDestination", 10, "replyprofile 5 ", "45 02 03 3F", {}},
    {"ReplyProfileSecondBlankIsText", 10, "repprof 5  Hi", "45 05 03 3F 20 48 69", {}},
    {"ReplyProfileKeepsCase", 10, "REPPROF ALL AbC", "BF 05 03 3F 41 62 43", {}},

    // Usage messages.
    {"SetIdUsage", 10, "setid 5", "", {{"SetID <DEST> <newID>", kTx}}},
    {"SetIdReplyUsage", 10, "setidreply 5 7", "", {{"SetID <DEST> <oldID> <newID>", kTx}}},
    {"Set16Usage", 10, "set16 5 3", "", {{"Set16 <DEST> <RID> <VAL16>", kTx}}},
    {"Reply16Usage", 10, "reply16 5", "", {{"Set16 <DEST> <RID> <VAL16>", kTx}}},
    {"Get16Usage", 10, "get16 5", "", {{"Get16/32 <DEST> <RID>", kTx}}},
    {"Get32Usage", 10, "get32 all", "", {{"Get16/32 <DEST> <RID>", kTx}}},
    {"Set32Usage", 10, "set32 5 1", "", {{"Set32 <DEST> <RID> <VAL32>", kTx}}},
    {"Reply32Usage", 10, "reply32 5", "", {{"Set32 <DEST> <RID> <VAL32>", kTx}}},
    {"Read8Usage", 10, "READ8 5", "", {{"read8 <dest> <Address>", kTx}}},
    {"Read16Usage", 10, "read16 5", "", {{"read16 <dest> <Address>", kTx}}},
    {"MemReply8Usage", 10, "mreply8 5 1", "", {{"mreply8 <dest> <Address> <Val> tx", "Orvane"}}},
    {"MemReply16Usage", 10, "mreply16 5", "", {{"mreply16 <dest> <Address> <Val> tx", "Orvane"}}},
    {"Write8Usage", 10, "write8 5 0x10", "", {{"write8 <dest> <Address> <Val> tx", "Orvane"}}},
    {"Write16Usage", 10, "Write16 5 1", "", {{"write16 <dest> <Address> <Val> tx", "Orvane"}}},
    {"BulkCountMissing", 10, "bulkset 5 16", "",
     {{"BulkSet/Reply <DEST> <Start> <Len> <W0> <W1>...", kTx}}},
    {"BulkReplyCountMissing", 10, "breply 5", "",
     {{"BulkSet/Reply <DEST> <Start> <Len> <W0> <W1>...", kTx}}},
    {"BulkTooFewWords", 10, "bulkset 5 16 3 1 2", "", {{"BulkSet/Reply: too few data", kTx}}},
    {"BulkGetUsage", 10, "bulkget 5 1", "", {{"BulkGet <DEST> <Start> <Len>", kTx}}},
    {"BurstTooFew", 10, "burst 1 2 3 4", "", {kBurstBox}},

    // Arguments that are not numbers refuse the statement.
    {"RegisterNotANumber", 10, "get16 5 abc", "", {{"Get16/32 <DEST> <RID>", kTx}}},
    {"ValueNotANumber", 10, "set16 5 3 x12", "", {{"Set16 <DEST> <RID> <VAL16>", kTx}}},
    {"SignWithoutDigits", 10, "set16 5 -x 3", "", {{"Set16 <DEST> <RID> <VAL16>", kTx}}},
    {"AddressNotANumber", 10, "write8 5 addr 1", "",
     {{"write8 <dest> <Address> <Val> tx", "Orvane"}}},
    {"BulkWordNotANumber", 10, "bulkset 5 16 2 1 two", "",
     {{"BulkSet/Reply <DEST> <Start> <Len> <W0> <W1>...", kTx}}},
    {"BurstValueNotANumber", 10, "burst 1 2 x 4 5", "", {kBurstBox}},

    // Payloads the length byte cannot state.
    {"BulkCountAbove125", 10, "bulkset 5 0 126", "",
     {{"BulkSet/Reply: <Len> must be 0 to 125\nthe statement was not sent", kTx}}},
    {"BulkCountNegative", 10, "bulkreply 5 0 -1", "",
     {{"BulkSet/Reply: <Len> must be 0 to 125\nthe statement was not sent", kTx}}},

    // Lines of several statements.
    {"TwoStatementsOneWrite", 10, "get16 5 3;reset 5", "45 02 43 3F 45 02 00 3F", {}},
    {"FailedStatementSkipped", 10, "get16 5 3;foo;reset 5", "45 02 43 3F 45 02 00 3F",
     {{"Illegal command 'foo'", kTransmit}}},
    {"EveryFailureShown", 10, "foo;reset;reset 99", "",
     {{"Illegal command 'foo'", kTransmit},
      {"Syntax error\nreset <destination> args", kTransmit},
      kDestinationBox}},
    {"EmptyStatementsSilent", 10, ";;", "", {}},
    {"BlankStatementsSilent", 10, "  \t ; ;", "", {}},
    {"TrailingSeparatorAddsNothing", 10, "reset 5;", "45 02 00 3F", {}},
    {"LineBreakIsWhiteSpace", 10, "get16 5 3\r\nreset 5", "45 02 43 3F", {}},
    {"LineBreakBetweenWords", 10, "get16\r\n5\t3", "45 02 43 3F", {}},
    {"LineBreakBecomesProfileText", 10, "repprof 5 Hi\nreset 5",
     "45 0C 03 3F 48 69 0A 72 65 73 65 74 20 35", {}},

    // Version 1.1 framing.
    {"WorkedExample11", 11, "get16 5 3", "45 02 FD 43 3F 42", {}},
    {"ResetAll11", 11, "reset all", "BF 02 FD 00 3F CF", {}},
    {"Burst11", 11, "burst 1 2 3 4 5",
     "20 14 EB 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00 1F", {}},
    {"EmptyProfile11", 11, "repprof 5", "45 02 FD 03 3F 82", {}},
    {"Nops11BetweenPackets", 11, "nop;get16 5 3;nop", "00 45 02 FD 43 3F 42 00", {}},
    {"Refusal11", 11, "get16 5", "", {{"Get16/32 <DEST> <RID>", kTx}}},
};

class EncodeLine : public ::testing::TestWithParam<EncodeCase> {
protected:
    void SetUp() override
    {
        EnsureNodeTable();
        RawMode = 0;
    }
};

TEST_P(EncodeLine, SendsExactBytesAndShowsExactMessages)
{
    const EncodeCase& c = GetParam();
    auto converter = MakeConverter(c.version);
    const SentLine sent = SendLine(*converter, c.line);

    const std::vector<uint8_t> expected = Hex(c.bytes);
    EXPECT_EQ(sent.len, int(expected.size()));
    EXPECT_EQ(HexText(sent.bytes), HexText(expected));
    ASSERT_EQ(sent.boxes.size(), c.boxes.size());
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        EXPECT_EQ(sent.boxes[i].text, c.boxes[i].text) << "box " << i;
        EXPECT_EQ(sent.boxes[i].caption, c.boxes[i].caption) << "box " << i;
        EXPECT_EQ(sent.boxes[i].type, kMbOk);
    }
    EXPECT_EQ(RawMode, 0);
}

INSTANTIATE_TEST_SUITE_P(Statements, EncodeLine, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
