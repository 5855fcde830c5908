// The Telnet client end as a state machine alone: what it answers to a
// server's negotiation, what it makes of received bytes, and what it puts on
// the wire.
#include "telnet/TelnetClient.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace telnet;

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

// Feeds text in one piece; returns the data and collects the replies.
std::string Feed(TelnetClient& client, const std::string& text, std::string& replies)
{
    std::vector<unsigned char> buffer(text.begin(), text.end());
    const int kept = client.Receive(buffer.data(), static_cast<int>(buffer.size()), replies);
    return std::string(buffer.begin(), buffer.begin() + kept);
}

// A session whose opening requests have gone out.
TelnetClient Started()
{
    TelnetClient client;
    std::string opening;
    client.Start(opening);
    return client;
}

struct NegotiationCase {
    const char* name;
    std::string fromServer;
    std::string replies;
    Answer comPort;
};

const NegotiationCase kNegotiation[] = {
    {"server_takes_the_port_option", Bytes({kIac, kDo, kOptComPort}), "", Answer::kAccepted},
    {"server_refuses_the_port_option", Bytes({kIac, kDont, kOptComPort}), "", Answer::kRefused},
    {"a_repeated_yes_gets_no_answer",
     Bytes({kIac, kDo, kOptComPort, kIac, kDo, kOptComPort, kIac, kWill, kOptBinary, kIac, kWill, kOptBinary}), "",
     Answer::kAccepted},
    {"unasked_options_are_refused", Bytes({kIac, kWill, 1, kIac, kDo, 24}), Bytes({kIac, kDont, 1, kIac, kWont, 24}),
     Answer::kNone},
    {"turning_off_an_option_that_was_on_is_acknowledged",
     Bytes({kIac, kDo, kOptBinary, kIac, kDont, kOptBinary, kIac, kWill, kOptSuppressGoAhead, kIac, kWont,
            kOptSuppressGoAhead}),
     Bytes({kIac, kWont, kOptBinary, kIac, kDont, kOptSuppressGoAhead}), Answer::kNone},
    {"a_no_to_an_option_already_off_gets_no_answer",
     Bytes({kIac, kDont, kOptComPort, kIac, kDont, kOptComPort, kIac, kWont, 1}), "", Answer::kRefused},
    {"a_later_offer_of_a_known_option_is_taken",
     Bytes({kIac, kWont, kOptBinary, kIac, kWill, kOptBinary}), Bytes({kIac, kDo, kOptBinary}), Answer::kNone},
};

class Negotiation : public testing::TestWithParam<NegotiationCase> {};

TEST_P(Negotiation, AnswersOnlyWhatTheRfcAsksFor)
{
    TelnetClient client = Started();
    std::string replies;
    EXPECT_EQ(Feed(client, GetParam().fromServer, replies), "");
    EXPECT_EQ(replies, GetParam().replies);
    EXPECT_EQ(client.ComPort(), GetParam().comPort);
}

INSTANTIATE_TEST_SUITE_P(Cases, Negotiation, testing::ValuesIn(kNegotiation),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TelnetStart, OffersAndAsksForBinaryGoAheadAndThePortOption)
{
    TelnetClient client;
    std::string opening;
    client.Start(opening);
    EXPECT_EQ(opening, Bytes({kIac, kWill, kOptBinary, kIac, kDo, kOptBinary, kIac, kWill, kOptSuppressGoAhead, kIac,
                              kDo, kOptSuppressGoAhead, kIac, kWill, kOptComPort, kIac, kDo, kOptComPort}));
    // Asked once only: a second start has nothing left to ask.
    std::string again;
    client.Start(again);
    EXPECT_EQ(again, "");
}

struct DataCase {
    const char* name;
    bool binary;  // the server sends in binary
    std::vector<std::string> pieces;
    std::string data;
};

const DataCase kData[] = {
    {"doubled_iac_is_one_data_byte", true, {Bytes({'a', kIac, kIac, 'b'})}, Bytes({'a', 0xFF, 'b'})},
    {"iac_split_across_reads", true, {Bytes({'a', kIac}), Bytes({kIac, 'b'})}, Bytes({'a', 0xFF, 'b'})},
    {"commands_inside_data_vanish", true, {Bytes({'x', kIac, 241, 'y', kIac, 249, 'z'})}, "xyz"},
    {"cr_nul_is_cr_without_binary", false, {Bytes({'a', '\r', 0, '\r', '\n', 0})}, Bytes({'a', '\r', '\r', '\n', 0})},
    {"cr_nul_split_across_reads", false, {Bytes({'\r'}), Bytes({0, 'b'})}, "\rb"},
    {"cr_nul_stays_in_binary", true, {Bytes({'\r', 0})}, Bytes({'\r', 0})},
    {"every_byte_value_but_iac_passes", true, {Bytes({0, 1, 127, 128, 254, 13, 10})}, Bytes({0, 1, 127, 128, 254, 13, 10})},
    {"subnegotiation_in_the_middle_is_not_data", true,
     {Bytes({'a', kIac, kSb, kOptComPort, 107, 0x30, kIac}), Bytes({kSe, 'b'})}, "ab"},
};

class ReceivedData : public testing::TestWithParam<DataCase> {};

TEST_P(ReceivedData, IsExactlyWhatTheServerSent)
{
    TelnetClient client = Started();
    std::string replies;
    if (GetParam().binary)
        Feed(client, Bytes({kIac, kWill, kOptBinary}), replies);
    std::string data;
    for (const std::string& piece : GetParam().pieces)
        data += Feed(client, piece, replies);
    EXPECT_EQ(data, GetParam().data);
    EXPECT_EQ(replies, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ReceivedData, testing::ValuesIn(kData),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortOption, RequestsCarryTheirValuesWithIacDoubled)
{
    TelnetClient client = Started();
    std::string out;
    client.SetBaudRate(57600, out);
    EXPECT_EQ(out, Bytes({kIac, kSb, kOptComPort, kSetBaudRate, 0, 0, 0xE1, 0x00, kIac, kSe}));
    out.clear();
    client.SetBaudRate(0x00FF00FF, out);
    EXPECT_EQ(out, Bytes({kIac, kSb, kOptComPort, kSetBaudRate, 0, kIac, kIac, 0, kIac, kIac, kIac, kSe}));
    out.clear();
    client.SetFrame8N1(out);
    EXPECT_EQ(out, Bytes({kIac, kSb, kOptComPort, kSetDataSize, 8, kIac, kSe, kIac, kSb, kOptComPort, kSetParity, 1,
                          kIac, kSe, kIac, kSb, kOptComPort, kSetStopSize, 1, kIac, kSe}));
    out.clear();
    client.SetControl(kDtrOn, out);
    EXPECT_EQ(out, Bytes({kIac, kSb, kOptComPort, kSetControl, kDtrOn, kIac, kSe}));
    EXPECT_EQ(client.BaudRate().asked, 2u);
    EXPECT_EQ(client.Frame().asked, 1u);
    EXPECT_EQ(client.Control().asked, 1u);
}

TEST(PortOption, AnswersAndNoticesAreRecorded)
{
    TelnetClient client = Started();
    std::string replies;
    std::string out;
    client.SetBaudRate(255, out);
    client.SetFrame8N1(out);
    // The rate 255 comes back with its IAC byte doubled inside the sub-negotiation.
    const std::string answers =
        Bytes({kIac, kSb, kOptComPort, 101, 0, 0, 0, kIac, kIac, kIac, kSe}) +
        Bytes({kIac, kSb, kOptComPort, 102, 8, kIac, kSe, kIac, kSb, kOptComPort, 103, 1, kIac, kSe}) +
        Bytes({kIac, kSb, kOptComPort, 107, kModemCts | kModemCd, kIac, kSe}) +
        Bytes({kIac, kSb, kOptComPort, 106, 0x10, kIac, kSe});
    EXPECT_EQ(Feed(client, answers, replies), "");
    EXPECT_EQ(client.BaudRate().answered, 1u);
    EXPECT_EQ(client.BaudRate().value, 255u);
    // Two of the three parts of the frame: not answered yet.
    EXPECT_EQ(client.Frame().answered, 0u);
    Feed(client, Bytes({kIac, kSb, kOptComPort, 104, 1, kIac, kSe}), replies);
    EXPECT_EQ(client.Frame().answered, 1u);
    EXPECT_EQ(client.Frame().value, 0x080101u);
    EXPECT_EQ(client.ModemState(), kModemCts | kModemCd);
    EXPECT_EQ(client.LineState(), 0x10);
    EXPECT_EQ(replies, "");
}

TEST(PortOption, AnOverlongSubnegotiationIsDroppedWholeAndTheStreamGoesOn)
{
    TelnetClient client = Started();
    std::string replies;
    std::string hostile = Bytes({kIac, kSb, kOptComPort, 101, 0, 0, 0x25, 0x80});
    hostile += std::string(100000, 'x');
    hostile += Bytes({kIac, kSe}) + "after";
    EXPECT_EQ(Feed(client, hostile, replies), "after");
    EXPECT_EQ(client.BaudRate().answered, 0u);
    // A short one just after is still read.
    Feed(client, Bytes({kIac, kSb, kOptComPort, 107, kModemDsr, kIac, kSe}), replies);
    EXPECT_EQ(client.ModemState(), kModemDsr);
}

TEST(PortOption, ACommandInsideASubnegotiationEndsItUnread)
{
    TelnetClient client = Started();
    std::string replies;
    const std::string text = Bytes({kIac, kSb, kOptComPort, 107, kModemDsr, kIac, kWill, 1, 'z'});
    EXPECT_EQ(Feed(client, text, replies), "z");
    EXPECT_EQ(client.ModemState(), -1);
    EXPECT_EQ(replies, Bytes({kIac, kDont, 1}));
}

TEST(SentData, DoublesIacAndStuffsCrUntilBinaryIsTaken)
{
    TelnetClient client = Started();
    const std::string data = Bytes({'a', 0xFF, '\r', '\n', '\r', 'b'});
    std::string before;
    client.EncodeData(data.data(), data.size(), before);
    EXPECT_EQ(before, Bytes({'a', kIac, kIac, '\r', 0, '\n', '\r', 0, 'b'}));
    std::string replies;
    Feed(client, Bytes({kIac, kDo, kOptBinary}), replies);
    std::string after;
    client.EncodeData(data.data(), data.size(), after);
    EXPECT_EQ(after, Bytes({'a', kIac, kIac, '\r', '\n', '\r', 'b'}));
}

} // namespace
