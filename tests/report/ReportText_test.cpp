#include "report/CReportText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A report of length characters in lines of lineLength characters, each
// ending in "\r\n" except a shorter last one.
std::string Lines(int length, int lineLength)
{
    std::string text;
    for (int line = 0; static_cast<int>(text.size()) < length; ++line) {
        std::string next(static_cast<std::size_t>(lineLength - 2), static_cast<char>('A' + line % 26));
        next += "\r\n";
        text += next;
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

CReportText ReportOf(const std::string& text)
{
    CReportText report;
    report.Append(text.c_str());
    return report;
}

TEST(ReportTextLines, LineEndsBelongToTheLineTheyEnd)
{
    const CReportText report = ReportOf("ab\r\ncd\r\n");
    struct Case {
        int pos;
        int line;
    };
    for (const Case c : {Case{0, 0}, Case{2, 0}, Case{3, 0}, Case{4, 1}, Case{7, 1}, Case{8, 2},
                         Case{500, 2}, Case{-3, 0}})
        EXPECT_EQ(report.LineFromChar(c.pos), c.line) << "position " << c.pos;
    EXPECT_EQ(report.LineIndex(0), 0);
    EXPECT_EQ(report.LineIndex(1), 4);
    EXPECT_EQ(report.LineIndex(2), 8);
    EXPECT_EQ(report.LineIndex(3), -1);
    EXPECT_EQ(report.LineIndex(-1), -1);
}

TEST(ReportTextLines, OnlyCarriageReturnLineFeedEndsALine)
{
    const CReportText report = ReportOf("a\nb\rc\r\nd");
    EXPECT_EQ(report.LineFromChar(5), 0);
    EXPECT_EQ(report.LineFromChar(7), 1);
    EXPECT_EQ(report.LineIndex(1), 7);
}

TEST(ReportTextAppend, EveryByteIsOneCharacterAndALineEndIsTwo)
{
    CReportText report;
    EXPECT_EQ(report.Append("\xE9t\xE9\r\n"), 0);
    EXPECT_EQ(report.Length(), 5);
    EXPECT_EQ(report.SelStart(), 5);
    EXPECT_EQ(report.SelEnd(), 5);
}

struct TrimCase {
    const char* name;
    std::string before;
    int added;
    int cut;  // characters removed from the front; -1 for no trim
};

class ReportTrim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(ReportTrim, CutsTheOldestLinesAsTheLimitRuleSays)
{
    const TrimCase& c = GetParam();
    CReportText report = ReportOf(c.before);
    const std::string text(static_cast<std::size_t>(c.added), '#');

    const int removed = report.Append(text.c_str());

    const std::size_t cut = c.cut < 0 ? 0 : static_cast<std::size_t>(c.cut);
    EXPECT_EQ(removed, c.cut < 0 ? 0 : 1);
    EXPECT_EQ(report.Text(), c.before.substr(cut) + text);
    EXPECT_EQ(report.Base(), static_cast<std::int64_t>(cut));
}

// Lines of 100 characters: line n starts at 100 * n. The cut is the start of
// the line after the one holding 5000 + the added length.
INSTANTIATE_TEST_SUITE_P(
    Cases, ReportTrim,
    ::testing::Values(
        TrimCase{"Report19990Plus20CutsAfterTheLineHolding5020", Lines(19990, 100), 20, 5100},
        TrimCase{"Report30Plus19990IsEmptiedFirst", Lines(30, 10), 19990, 30},
        TrimCase{"TextLongerThanTheLimitIsAppendedWhole", Lines(30, 10), 25000, 30},
        TrimCase{"ExactlyTheLimitDoesNotTrim", Lines(19980, 100), 20, -1},
        TrimCase{"OneCharacterOverTheLimitTrims", Lines(19981, 100), 20, 5100},
        TrimCase{"NoLineBreakAfterTheCutEmptiesTheReport", std::string(19990, 'F'), 20, 19990},
        TrimCase{"CutPositionAtALineStartTakesTheFollowingLine", Lines(19950, 100), 100, 5200},
        TrimCase{"CutPositionOnTheCarriageReturn", Lines(19950, 100), 98, 5100},
        TrimCase{"CutPositionOnTheLineFeed", Lines(19950, 100), 99, 5100},
        TrimCase{"CutPositionInTheLastLineEmptiesTheReport", Lines(5000, 100) + std::string(14990, 'L'), 20,
                 19990}),
    [](const ::testing::TestParamInfo<TrimCase>& info) { return std::string(info.param.name); });

TEST(ReportTrim, AReportOverTheLimitTrimsEvenForAnEmptyText)
{
    CReportText report = ReportOf(Lines(30, 10));
    report.Append(Lines(25000, 100).c_str());
    ASSERT_EQ(report.Length(), 25000);

    EXPECT_EQ(report.Append(""), 1);
    EXPECT_EQ(report.Length(), 25000 - 5100);
}

struct SelectionCase {
    const char* name;
    int start, end;            // selection before the append
    int keptStart, keptEnd;    // afterwards; -1 for a caret at the end of the new text
};

class ReportSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ReportSelection, KeepsCoveringTheSameCharactersAcrossATrim)
{
    const SelectionCase& c = GetParam();
    const std::string before = Lines(19990, 100);
    CReportText report = ReportOf(before);
    report.SetSel(c.start, c.end);

    ASSERT_EQ(report.Append("new text of 20 chars"), 1);  // cuts 5100 characters

    if (c.keptStart < 0) {
        EXPECT_EQ(report.SelStart(), report.Length());
        EXPECT_EQ(report.SelEnd(), report.Length());
        return;
    }
    EXPECT_EQ(report.SelStart(), c.keptStart);
    EXPECT_EQ(report.SelEnd(), c.keptEnd);
    const auto covered = [](const std::string& text, int start, int end) {
        return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    };
    EXPECT_EQ(covered(report.Text(), c.keptStart, c.keptEnd),
              covered(before, std::max(std::min(c.start, c.end), 5100), std::max(c.start, c.end)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportSelection,
    ::testing::Values(SelectionCase{"AfterTheCut", 6000, 6150, 900, 1050},
                      SelectionCase{"GivenEndFirst", 6150, 6000, 900, 1050},
                      SelectionCase{"AcrossTheCutLosesItsRemovedPart", 5000, 5300, 0, 200},
                      SelectionCase{"WhollyRemovedIsDropped", 100, 200, -1, -1},
                      SelectionCase{"EndingAtTheCutIsDropped", 5000, 5100, -1, -1},
                      SelectionCase{"CaretAfterTheCutStays", 7000, 7000, 1900, 1900}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(ReportSelection, SurvivesAppendsWithoutTrim)
{
    CReportText report = ReportOf("first line\r\nsecond line\r\n");
    report.SetSel(6, 10);
    report.Append("third line\r\n");
    EXPECT_EQ(report.SelStart(), 6);
    EXPECT_EQ(report.SelEnd(), 10);
}

TEST(ReportSelection, CaretAtTheStartFollowsTheTextToItsEnd)
{
    CReportText report = ReportOf("first\r\n");
    report.SetSel(0, 0);
    report.Append("second\r\n");
    EXPECT_EQ(report.SelStart(), 15);
    EXPECT_EQ(report.SelEnd(), 15);
}

TEST(ReportSelection, SelectionIsClampedIntoTheText)
{
    CReportText report = ReportOf("12345");
    report.SetSel(-4, 99);
    EXPECT_EQ(report.SelStart(), 0);
    EXPECT_EQ(report.SelEnd(), 5);
}

TEST(ReportClear, EmptiesTheTextAndMovesTheBase)
{
    CReportText report = ReportOf("abc\r\n");
    report.SetSel(1, 3);
    report.Clear();
    EXPECT_EQ(report.Length(), 0);
    EXPECT_EQ(report.SelStart(), 0);
    EXPECT_EQ(report.SelEnd(), 0);
    EXPECT_EQ(report.Base(), 5);
}

// A larger limit trims by the same rule: a quarter of the limit beyond the
// new text, rounded up to the next line start.
TEST(ReportLimit, ALargerLimitKeepsTheTrimArithmetic)
{
    for (const int limit : {20000, 100000, 1000000, CReportText::kLargestReportLimit}) {
        CReportText report;
        EXPECT_EQ(report.SetLimit(limit), 0);
        const std::string before = Lines(limit - 10, 100);
        report.Append(before.c_str());
        EXPECT_EQ(report.Append("0123456789"), 0) << limit << ": exactly the limit does not trim";
        ASSERT_EQ(report.Text(), before + "0123456789") << limit << ": kept whole up to the limit";

        // The line holding a quarter of the limit plus the new text's length goes, and all before it.
        const int cut = ((limit / 4 + 10) / 100 + 1) * 100;
        EXPECT_EQ(report.Append("0123456789"), 1) << limit;
        EXPECT_EQ(report.Length(), limit + 10 - cut) << limit;
        EXPECT_EQ(report.Text(), before.substr(static_cast<std::size_t>(cut)) + "01234567890123456789") << limit;
    }
}

TEST(ReportLimit, ALowerLimitTrimsAtOnceToWholeLinesAndKeepsTheSelection)
{
    CReportText report;
    report.SetLimit(100000);
    const std::string before = Lines(99950, 100);
    report.Append(before.c_str());
    report.SetSel(95000, 95040);

    EXPECT_EQ(report.SetLimit(20000), 1);
    EXPECT_EQ(report.Length(), 19950);
    EXPECT_EQ(report.Text(), before.substr(80000));
    EXPECT_EQ(report.Base(), 80000);
    EXPECT_EQ(report.Text().substr(static_cast<std::size_t>(report.SelStart()), 40), before.substr(95000, 40));
    EXPECT_EQ(report.SetLimit(20000), 0) << "nothing more to trim";

    // A last line longer than the limit cannot be kept in part.
    CReportText oneLine;
    oneLine.SetLimit(50000);
    oneLine.Append(std::string(30000, 'x').c_str());
    EXPECT_EQ(oneLine.SetLimit(20000), 1);
    EXPECT_EQ(oneLine.Length(), 0);
}

TEST(ReportLimit, ALimitOutsideTheRangeIsTheNearestEnd)
{
    CReportText report;
    const struct {
        int asked, kept;
    } cases[] = {{0, 20000}, {-5, 20000}, {19999, 20000}, {20001, 20001},
                 {CReportText::kLargestReportLimit + 1, CReportText::kLargestReportLimit}};
    for (const auto& c : cases) {
        report.SetLimit(c.asked);
        EXPECT_EQ(report.Limit(), c.kept) << c.asked;
    }
}

} // namespace
