#include "bench/rig/OutputCheck.h"

#include "orvane/CXrateOV11.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Stream(const Traffic& traffic, long long records)
{
    std::string bytes;
    std::string record(static_cast<std::size_t>(traffic.RecordSize()), '\0');
    for (long long i = 0; i < records; ++i) {
        traffic.Record(i, reinterpret_cast<unsigned char*>(record.data()));
        bytes += record;
    }
    return bytes;
}

struct Case {
    const char* name;
    long long records;
    long long cutAt;      // drop one byte here (-1: none)
    std::string tail;     // appended after the output
    long long truncate;   // keep only this many bytes (-1: all)
    long long matched;
    long long extra;
    bool intact;
};

class SameOutput : public testing::TestWithParam<Case> {};

TEST_P(SameOutput, CountsTheIntactPrefixAndAnythingBeyond)
{
    const Case& c = GetParam();
    const Traffic raw(TrafficKind::kRaw);
    std::string output = Stream(raw, c.records);
    if (c.cutAt >= 0)
        output.erase(static_cast<std::size_t>(c.cutAt), 1);
    if (c.truncate >= 0)
        output.resize(static_cast<std::size_t>(c.truncate));
    output += c.tail;
    const OutputVerdict verdict = CheckOutput(Expect::kSame, raw, c.records, output);
    EXPECT_EQ(verdict.expectedBytes, c.records * 16);
    EXPECT_EQ(verdict.matchedBytes, c.matched);
    EXPECT_EQ(verdict.extraBytes, c.extra);
    EXPECT_EQ(verdict.Intact(), c.intact);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SameOutput,
    testing::Values(Case{"everything", 1000, -1, "", -1, 16000, 0, true},
                    Case{"nothing_sent", 0, -1, "", -1, 0, 0, true},
                    // A lost last digit: the line end moves up against the next digit.
                    Case{"one_byte_lost_inside", 1000, 16 * 312 + 13, "", -1, 16 * 312 + 13, 0, false},
                    Case{"the_last_byte_lost", 1000, 15999, "", -1, 15999, 0, false},
                    Case{"cut_short", 1000, -1, "", 8000, 8000, 0, false},
                    Case{"something_more", 1000, -1, "!", -1, 16000, 1, false},
                    // A lost byte made good by a stray one keeps the length but not the match.
                    Case{"lost_and_stray", 1000, 16 * 6 + 13, "x", -1, 16 * 6 + 13, 0, false}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(OutputCheck, Ov11OutputIsTheDecodedTextWhateverTheChunks)
{
    const Traffic ov11(TrafficKind::kOv11);
    const std::string bytes = Stream(ov11, 3000);
    // Decoded in chunks of 7 bytes, packets straddling every boundary.
    CXrateOV11 converter(nullptr, 63);
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 7) {
        std::string chunk = bytes.substr(at, 7);
        const int count = static_cast<int>(chunk.size());
        chunk.push_back('\0');
        text += converter.XrateReceive(reinterpret_cast<const unsigned char*>(chunk.data()), count);
    }
    EXPECT_TRUE(CheckOutput(Expect::kOv11Text, ov11, 3000, text).Intact());

    // One line lost: the match ends inside the place where it was (the next
    // line begins the same way).
    std::string lost = text;
    const std::size_t line = lost.find("\r\n", 1000) + 2;
    const std::size_t next = lost.find("\r\n", line) + 2;
    lost.erase(line, next - line);
    const OutputVerdict verdict = CheckOutput(Expect::kOv11Text, ov11, 3000, lost);
    EXPECT_FALSE(verdict.Intact());
    EXPECT_GE(verdict.matchedBytes, static_cast<long long>(line));
    EXPECT_LT(verdict.matchedBytes, static_cast<long long>(next));
}

TEST(OutputCheck, NothingIsCheckedWhenNothingIsExpected)
{
    EXPECT_TRUE(CheckOutput(Expect::kNone, Traffic(TrafficKind::kRaw), 10, "whatever").Intact());
}

} // namespace
