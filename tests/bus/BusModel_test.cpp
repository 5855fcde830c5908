#include "orvane/ReceiveTestSupport.h"

#include "bus/BusModel.h"
#include "bus/CsvExport.h"
#include "bus/PlotChoice.h"
#include "orvane/NodeTableObserver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

int64_t g_wallMs = 0;

int64_t TestWallClock()
{
    return g_wallMs;
}

RegisterStore Store(int node, bool wide, int reg, int32_t value)
{
    return {0, node, 63, wide, reg, value};
}

std::vector<std::string> Lines(const std::string& text, const char* end)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(end, from)) != std::string::npos; from = at + std::strlen(end))
        lines.push_back(text.substr(from, at - from));
    return lines;
}

// Decoded traffic reaches a model through the observer, as in the program.
class BusTrafficTest : public ReceiveTest {
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        g_wallMs = 1'765'000'000'000;
        m_previous = SetNodeTableObserver(&model);
    }
    void TearDown() override
    {
        SetNodeTableObserver(m_previous);
        ReceiveTest::TearDown();
    }

    BusModel model{TestWallClock};

private:
    NodeTableObserver* m_previous = nullptr;
};

} // namespace

TEST(BusModelTest, LastChangeTimeMovesOnlyWhenTheValueChanges)
{
    BusModel model(TestWallClock);
    const RegisterKey key{5, false, 3};
    struct Step {
        int64_t at;
        int32_t value;
        int64_t changed;
    };
    const Step steps[] = {{1000, 7, 1000}, {2000, 7, 1000}, {3000, 8, 3000}, {4000, 8, 3000}};
    for (const Step& step : steps) {
        g_wallMs = step.at;
        const uint64_t before = model.Generation();
        model.OnRegisterStore(Store(5, false, 3, step.value));
        EXPECT_GT(model.Generation(), before);
        EXPECT_EQ(model.State(key).value, step.value);
        EXPECT_EQ(model.State(key).changedMs, step.changed) << "store at " << step.at;
    }
    EXPECT_FALSE(model.State({5, true, 3}).valid) << "the 32-bit register of that number is apart";
    EXPECT_EQ(model.Log().size(), 4u) << "every store is a row, changed or not";
}

TEST(BusModelTest, LogAndSeriesDropTheOldestPastTheirLimitsAndCountThem)
{
    BusModel model(TestWallClock, 3, 2);
    const RegisterKey key{1, true, 15};
    model.SetPlotted(key, true);
    for (int i = 0; i < 5; ++i) {
        g_wallMs = 100 * i;
        model.OnRegisterStore(Store(1, true, 15, i));
    }
    ASSERT_EQ(model.Log().size(), 3u);
    EXPECT_EQ(model.Log().front().value, 2);
    EXPECT_EQ(model.LogDropped(), 2u);
    const PlotSeries& series = model.Series().at(key);
    ASSERT_EQ(series.Points().size(), 2u);
    EXPECT_EQ(series.Points().front().value, 3);
    EXPECT_EQ(series.Dropped(), 3u);
    EXPECT_EQ(series.FirstFrom(350), 1u);
}

TEST(BusModelTest, PlottingLaterStartsFromTheLogAndClearingKeepsWhatWasSeen)
{
    BusModel model(TestWallClock);
    model.OnNodePresent(12);
    for (int i = 0; i < 3; ++i) {
        g_wallMs = 10 * i;
        model.OnRegisterStore(Store(12, false, 15, 100 + i));
        model.OnRegisterStore(Store(5, false, 15, 7));
    }
    const RegisterKey key{12, false, 15};
    model.SetPlotted(key, true);
    ASSERT_EQ(model.Series().at(key).Points().size(), 3u);
    EXPECT_EQ(model.Series().at(key).Points().back().value, 102);

    model.OnTableCleared();
    EXPECT_FALSE(model.Present(12));
    EXPECT_FALSE(model.State(key).valid);
    EXPECT_EQ(model.Log().size(), 6u);
    EXPECT_TRUE(model.IsPlotted(key));
    model.SetPlotted(key, false);
    EXPECT_TRUE(model.Series().empty());
}

TEST(CsvTest, TimeIsIso8601InUtcWithMilliseconds)
{
    const struct {
        int64_t ms;
        const char* text;
    } cases[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {1'765'346'401'007, "2025-12-10T06:00:01.007Z"},
        {-1, "1969-12-31T23:59:59.999Z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsoTime(c.ms), c.text);
}

TEST_F(BusTrafficTest, CsvRowsAreTheRawModeRecordsOfTheSameTraffic)
{
    RawMode = 1;
    const Bytes traffic = Join({
        Packet11(0x7F, {0x63, 0x05, 0x34, 0x12}),
        Packet11(0x85, {0x7F, 0x0C, 1, 2, 3, 0x84}),
        Packet11(0x45, {0x23, 0x3F, 0x01, 0x00}),
        Packet11(0x7F, {0x6F, 0x01, 0xFF, 0xFF}),
        Packet11(0x7F, {0x70, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}),
    });
    ConverterFeed receiver(FrameVersion::V11);
    std::string report;
    for (std::size_t at = 0; at < traffic.size(); at += 5) {
        s_ticks += 13;
        g_wallMs += 250;
        report += receiver.Feed(Bytes(traffic.begin() + at,
                                      traffic.begin() + std::min(at + 5, traffic.size())));
    }
    std::vector<std::string> replies;
    for (const std::string& line : Lines(report, "\r\n")) {
        if (line.starts_with("R,"))
            replies.push_back(line);
    }
    ASSERT_EQ(replies.size(), 4u);

    char path[] = "/tmp/tamsel-bus-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string error;
    ASSERT_TRUE(WriteCsv(path, model, error)) << error;
    std::ifstream file(path);
    std::stringstream written;
    written << file.rdbuf();
    std::remove(path);

    const std::vector<std::string> rows = Lines(written.str(), "\n");
    ASSERT_EQ(rows.size(), replies.size() + 1);
    EXPECT_EQ(rows[0], kCsvHeader);
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const std::string& row = rows[i + 1];
        const std::size_t comma = row.find(',');
        EXPECT_EQ(row.substr(comma + 1), replies[i]);
        EXPECT_EQ(row.substr(0, comma), IsoTime(model.Log()[i].wallMs));
    }
}

TEST_F(BusTrafficTest, CsvThatCannotBeWrittenSaysWhichFileAndWhy)
{
    model.OnRegisterStore(Store(1, false, 0, 1));
    const struct {
        const char* path;
        const char* reason;
    } cases[] = {
        {"/dev/full", "No space left on device"},
        {"/nonexistent-folder/bus.csv", "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(WriteCsv(c.path, model, error));
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(PlotChoiceTest, ReadsBackWhatItWritesAndSkipsWhatCannotBePlotted)
{
    const std::vector<RegisterKey> keys = {{12, true, 15}, {5, false, 3}, {0, false, 0}};
    EXPECT_EQ(FormatPlotChoice(keys), "12:32:15 5:16:3 0:16:0");
    EXPECT_EQ(ParsePlotChoice(FormatPlotChoice(keys)), keys);

    const struct {
        const char* text;
        std::size_t kept;
    } cases[] = {
        {"", 0},          {"64:16:0", 0},  {"5:8:0", 0},      {"5:16:16", 0},  {"5:16:-1", 0},
        {"5:16", 0},      {"a:16:1", 0},   {"5:16:1x", 0},    {"5:16:1  ", 1}, {"5:16:1 5:16:1", 1},
        {"5:16:1 bad 5:32:1", 2}, {"5:16:1;5:32:1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePlotChoice(c.text).size(), c.kept) << c.text;
}
