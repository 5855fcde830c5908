// Standard input cut into lines, whatever pieces it arrives in.
#include "app/cli/InputLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Take(InputLines& lines)
{
    std::vector<std::string> taken;
    std::string line;
    while (lines.Next(line))
        taken.push_back(line);
    return taken;
}

using Lines = std::vector<std::string>;

TEST(InputLines, LineFeedsEndLinesAndACarriageReturnBeforeOneIsDropped)
{
    InputLines lines;
    const std::string input = "a\nb\r\n\r\n\nc\rd\n";
    lines.Add(input.data(), input.size());
    EXPECT_EQ(Take(lines), (Lines{"a", "b", "", "", "c\rd"}));
    EXPECT_FALSE(lines.Ended());
    EXPECT_EQ(lines.LineNumber(), 5);
}

TEST(InputLines, PiecesOfAnyLengthGiveTheSameLines)
{
    const std::string input = "get16 5 3\r\n::rx ov11\nlast";
    for (std::size_t piece = 1; piece <= input.size(); ++piece) {
        InputLines lines;
        Lines taken;
        for (std::size_t at = 0; at < input.size(); at += piece) {
            lines.Add(input.data() + at, std::min(piece, input.size() - at));
            for (const std::string& line : Take(lines))
                taken.push_back(line);
        }
        EXPECT_EQ(taken, (Lines{"get16 5 3", "::rx ov11"})) << piece;
        lines.End();
        EXPECT_EQ(Take(lines), (Lines{"last"})) << piece;
        EXPECT_TRUE(lines.Ended());
    }
}

TEST(InputLines, TheEndClosesNoEmptyLineAndTakesNothingMore)
{
    InputLines lines;
    lines.Add("a\n", 2);
    lines.End();
    lines.Add("b\n", 2);
    EXPECT_EQ(Take(lines), (Lines{"a"}));
}

TEST(InputLines, ALineAtTheLimitPassesAndOneBeyondStopsTheInputThere)
{
    InputLines lines;
    const std::string longest(InputLines::kMaxLine, 'x');
    const std::string withReturn = longest + "\r\n";
    lines.Add(withReturn.data(), withReturn.size());
    lines.Add("next\n", 5);
    const std::string tooLong = longest + "y\nafter\n";
    lines.Add(tooLong.data(), tooLong.size());
    EXPECT_EQ(Take(lines), (Lines{longest, "next"}));
    EXPECT_TRUE(lines.TooLong());
    EXPECT_EQ(lines.LineNumber() + 1, 3);
}

TEST(InputLines, AnOverlongLineIsFoundBeforeItsEndArrives)
{
    InputLines lines;
    const std::string chunk(4096, 'z');
    for (std::size_t added = 0; added <= InputLines::kMaxLine + 1; added += chunk.size())
        lines.Add(chunk.data(), chunk.size());
    EXPECT_TRUE(lines.TooLong());
    EXPECT_FALSE(lines.HasLine());
}

TEST(InputLines, AnOverlongLastLineWithoutItsEnd)
{
    InputLines lines;
    const std::string last(InputLines::kMaxLine + 1, 'x');
    lines.Add(last.data(), last.size());
    EXPECT_FALSE(lines.TooLong());  // its "\r" may still come
    lines.End();
    EXPECT_TRUE(lines.TooLong());
    EXPECT_FALSE(lines.HasLine());
}

} // namespace
