// Time stamps at the start of received report lines.
#include "conversions/ConversionRegistry.h"
#include "ViewHarness.h"

#include "resources/CommandIds.h"
#include "session/LineStamps.h"

#include <QTest>

#include <ostream>
#include <string>
#include <string_view>

namespace {

constexpr std::int64_t kTime = ((13 * 60 + 5) * 60 + 9) * 1000 + 42;  // 13:05:09.042
constexpr char kStamp[] = "[13:05:09.042] ";

// Appended piece by piece: GCC 12 takes a chain of string + for an
// out-of-bounds copy (-Warray-bounds) where it inlines them.
std::string Joined(std::initializer_list<std::string_view> parts)
{
    std::string joined;
    for (std::string_view part : parts)
        joined += part;
    return joined;
}

struct StampCase {
    const char* name;
    bool reportEndsLine;
    bool breakWhenQuiet;
    std::int64_t quietMs;  // since the text before, or -1 for none before
    const char* text;
    std::string out;
};

void PrintTo(const StampCase& c, std::ostream* out)
{
    *out << c.name;
}

const StampCase kStampCases[] = {
    {"each line start", true, false, -1, "ab\r\ncd\r\n", std::string(kStamp) + "ab\r\n" + kStamp + "cd\r\n"},
    {"continued line", false, false, -1, "cd\r\nef", std::string("cd\r\n") + kStamp + "ef"},
    {"lone line feed", true, false, -1, "a\nb", std::string(kStamp) + "a\n" + kStamp + "b"},
    {"bin after a pause", false, true, 200, "42 ", std::string("\r\n") + kStamp + "42 "},
    {"bin without a pause", false, true, 199, "42 ", "42 "},
    {"bin at a line start", true, true, 5000, "42 ", std::string(kStamp) + "42 "},
    {"pause counts for bin only", false, false, 5000, "x", "x"},
    {"nothing", true, true, 5000, "", ""},
};

class StampedText : public testing::TestWithParam<StampCase> {};

TEST_P(StampedText, BeginsEachLineWithItsTime)
{
    const StampCase& c = GetParam();
    LineStamps stamps;
    const std::int64_t now = 100000;
    if (c.quietMs >= 0)
        stamps.Stamp("x", false, c.breakWhenQuiet, now - c.quietMs, kTime);
    EXPECT_EQ(stamps.Stamp(c.text, c.reportEndsLine, c.breakWhenQuiet, now, kTime), c.out);
}

INSTANTIATE_TEST_SUITE_P(Table, StampedText, testing::ValuesIn(kStampCases));

TEST(StampText, CoversTheDay)
{
    EXPECT_EQ(StampText(0), "[00:00:00.000] ");
    EXPECT_EQ(StampText(kTime), kStamp);
    EXPECT_EQ(StampText(24 * 3600 * 1000 - 1), "[23:59:59.999] ");
    EXPECT_EQ(StampText(24 * 3600 * 1000 + 1), "[00:00:00.001] ");
}

class TimeStamps : public ViewOnLine {
protected:
    void SetUp() override
    {
        ViewOnLine::SetUp();
        view.Session().SetReceiveEnable(true);
        view.Session().SetTimeOfDay([] { return kTime; });
    }
    void Receive(const std::string& bytes)
    {
        const std::int64_t total = view.Session().ReceivedBytes() + static_cast<std::int64_t>(bytes.size());
        line.Write(bytes);
        ASSERT_TRUE(WaitUntil([&] { return view.Session().ReceivedBytes() == total; }));
    }
};

TEST_F(TimeStamps, AppearOnlyWhenSwitchedOn)
{
    Receive("plain\r\n");
    EXPECT_EQ(ReportText(), "plain\r\n");
    view.Session().SetTimeStamps(true);
    Receive("one\r\ntw");
    Receive("o\r\n");
    const std::string stamped = Joined({"plain\r\n", kStamp, "one\r\n", kStamp, "two\r\n"});
    EXPECT_EQ(ReportText(), stamped);
    view.Session().SetTimeStamps(false);
    Receive("three\r\n");
    EXPECT_EQ(ReportText(), stamped + "three\r\n");
}

TEST_F(TimeStamps, AnEchoedCommandInBetweenEndsTheLine)
{
    view.Session().SetTimeStamps(true);
    view.Session().SetLocalEcho(true);
    view.Session().AppendReport(">> cmd\r\n");
    Receive("reply");
    EXPECT_EQ(ReportText(), Joined({">> cmd\r\n", kStamp, "reply"}));
}

TEST_F(TimeStamps, BinStartsAStampedLineAfterAQuietSpell)
{
    view.Session().SetReceiveConversion(kConversionBin);
    view.Session().SetTimeStamps(true);
    Receive("A");
    const std::string first = ReportText();
    EXPECT_EQ(first.rfind(kStamp, 0), 0u) << first;
    Receive("B");
    EXPECT_EQ(ReportText().find("\r\n"), std::string::npos) << "no pause, same line: " << ReportText();
    QTest::qWait(static_cast<int>(LineStamps::kQuietBreakMs) + 50);
    Receive("C");
    const std::string report = ReportText();
    const std::size_t lineEnd = report.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos) << report;
    EXPECT_EQ(report.compare(lineEnd + 2, sizeof kStamp - 1, kStamp), 0) << report;
}

TEST_F(TimeStamps, OrvaneDisplaysKeepTheirOwnRendering)
{
    // A 16-bit register reply of node 5, framed as Orvane 1.0.
    const std::string packet = std::string("\x7F\x04\x63\x05\x34\x12", 6);
    view.Session().SetReceiveConversion(kConversionOV10);
    Receive(packet);
    const std::string unstamped = ReportText();
    ASSERT_FALSE(unstamped.empty());
    view.OnCommand(ID_CLEAR_REPORT);
    view.Session().SetTimeStamps(true);
    Receive(packet);
    EXPECT_EQ(ReportText(), unstamped);
}

} // namespace
