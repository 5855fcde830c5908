#include "ViewHarness.h"
#include "conversions/ConversionRegistry.h"

#include "orvane/Checksum11.h"
#include "orvane/NodeTable.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {


// Register reply of 16-bit register reg, value, from node source to node 63.
std::string Reply16(int reg, int value, int source)
{
    return {static_cast<char>(0x60 | reg), static_cast<char>(source), static_cast<char>(value & 0xFF),
            static_cast<char>(value >> 8)};
}

std::string Packet10(const std::string& payload)
{
    return std::string{'\x7F', static_cast<char>(payload.size())} + payload;
}

std::string Packet11(const std::string& payload)
{
    const auto length = static_cast<unsigned char>(payload.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(payload.data());
    const int sum = Checksum11(bytes, static_cast<int>(payload.size()));
    return std::string{'\x7F', static_cast<char>(length), static_cast<char>(length ^ 0xFF)} + payload +
           static_cast<char>(sum & 0xFF);
}

struct ReceiveCase {
    const char* name;
    int conversion;       // -1: the conversion the session starts with
    std::string hidden;   // arrives while display is off
    std::string shown;    // arrives once display is on again
    std::string report;   // what the report then holds
};

const std::string kRep16 = "Rep16 Reg.3 = 0x1234( 4660,  4660) from ID:05 to ID:3F\r\n";

// Each split puts the first part of a conversion's unit (a digit pair, a
// packet) before the display comes back on, so the report shows the unit
// only if the conversion ran while display was off.
const ReceiveCase kReceiveCases[] = {
    {"Default", -1, "lost\r\n", "shown\r\n", "shown\r\n"},
    {"Raw", kConversionRaw, "lost\r\n", "shown\r\n", "shown\r\n"},
    {"Hex", kConversionHex, "41424", "30D0A", "C\r\n"},
    {"Bin", kConversionBin, std::string("\x00\x7F", 2), "\x80\xFF", "80 FF "},
    {"Orvane10", kConversionOV10, Packet10(Reply16(2, 7, 5)) + Packet10(Reply16(3, 0x1234, 5)).substr(0, 3),
     Packet10(Reply16(3, 0x1234, 5)).substr(3), kRep16},
    {"Orvane11", kConversionOV11,
     Packet11(Reply16(2, 7, 5)) + Packet11(Reply16(3, 0x1234, 5)).substr(0, 4),
     Packet11(Reply16(3, 0x1234, 5)).substr(4), kRep16},
};

class ReceiveFlow : public ViewOnLine, public ::testing::WithParamInterface<ReceiveCase> {};

TEST_P(ReceiveFlow, BytesAreConvertedWhileHiddenAndShownOnceDisplayIsOn)
{
    const ReceiveCase& c = GetParam();
    RawMode = 0;
    if (NodeTable != nullptr)
        ClearNodeTable();
    if (c.conversion >= 0)
        view.Session().SetReceiveConversion(c.conversion);

    view.Session().SetReceiveEnable(false);
    line.Write(c.hidden);
    ASSERT_TRUE(WaitUntil([&] { return view.Session().ReceivedBytes() == static_cast<std::int64_t>(c.hidden.size()); }));
    EXPECT_EQ(ReportText(), "");

    view.Session().SetReceiveEnable(true);
    line.Write(c.shown);
    const auto total = static_cast<std::int64_t>(c.hidden.size() + c.shown.size());
    ASSERT_TRUE(WaitUntil([&] { return view.Session().ReceivedBytes() == total; }));
    EXPECT_EQ(ReportText(), c.report);
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Conversions, ReceiveFlow, ::testing::ValuesIn(kReceiveCases),
                         [](const ::testing::TestParamInfo<ReceiveCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ViewOnLine, OrvanePacketsHeardWhileHiddenStillReachTheNodeTable)
{
    view.Session().SetReceiveConversion(kConversionOV11);
    view.Session().SetReceiveEnable(false);
    const std::string packet = Packet11(Reply16(9, 0x0BEE, 12));
    line.Write(packet);
    ASSERT_TRUE(WaitUntil([&] { return view.Session().ReceivedBytes() == static_cast<std::int64_t>(packet.size()); }));

    ASSERT_NE(NodeTable, nullptr);
    EXPECT_EQ(NodeTable[12].reg16[9].valid, 1);
    EXPECT_EQ(NodeTable[12].reg16[9].value, 0x0BEE);
    EXPECT_EQ(ReportText(), "");
}

TEST_F(ViewOnLine, ABusyLineIsShownWholeAndTrimmed)
{
    view.Session().SetReceiveEnable(true);
    std::string stream;
    for (int i = 0; stream.size() < 30000; ++i)
        stream += "line " + std::to_string(i) + " of a busy device\r\n";
    // In pieces the byte ring can hold, since this thread is also the one that empties it.
    for (std::size_t at = 0; at < stream.size(); at += 1000) {
        line.Write(std::string_view(stream).substr(at, 1000));
        const auto sent = static_cast<std::int64_t>(std::min(at + 1000, stream.size()));
        ASSERT_TRUE(WaitUntil([&] { return view.Session().ReceivedBytes() == sent; }));
    }

    const std::string report = ReportText();
    EXPECT_LE(report.size(), 20000u);
    ASSERT_GT(report.size(), 0u);
    EXPECT_EQ(stream.substr(stream.size() - report.size()), report) << "the newest text, unbroken";
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace

namespace {

TEST(LineState, TheViewReportsTheLineOpeningAndGoingAway)
{
    MessageBoxRecorder boxes;
    PseudoTerminal line;
    CChildView view(FastLineTimings());
    std::vector<int> states;
    QObject::connect(&view.Session(), &LineSession::lineStateChanged, [&](int state) { states.push_back(state); });
    ASSERT_TRUE(view.Session().Ports().SetUserPath(kTestPortKey, line.Path()));

    ASSERT_EQ(view.Session().ComReopen(kTestPortName, 9600), 0);
    EXPECT_EQ(view.Session().GetLineState(), LineState::kOpen);
    line.HangUp();
    ASSERT_TRUE(WaitUntil([&] { return states.size() == 2; }));

    EXPECT_EQ(states, (std::vector<int>{static_cast<int>(LineState::kOpen), static_cast<int>(LineState::kLost)}));
    EXPECT_TRUE(boxes.calls.empty()) << "a lost line is shown without a box";
}

} // namespace
