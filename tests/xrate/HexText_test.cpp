#include "xrate/HexText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

namespace {

// The pair reading rule as its reference table states it, row by row. A pair
// belongs to the first row whose two columns it matches, so "any other
// character" means any character an earlier row does not take.

bool Hex(char c) { return c != '\0' && std::strchr("0123456789abcdefABCDEF", c); }
bool Space(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c); }
bool Zero(char c) { return c == '0'; }
bool LetterX(char c) { return c == 'x' || c == 'X'; }
bool Plus(char c) { return c == '+'; }
bool Minus(char c) { return c == '-'; }
bool Sign(char c) { return Plus(c) || Minus(c); }
bool Any(char) { return true; }

int Digit(char c) { return static_cast<int>(std::strtol(std::string(1, c).c_str(), nullptr, 16)); }

constexpr int kUnreadable = -1;

struct PairRow {
    const char* name;
    bool (*first)(char);
    bool (*second)(char);
    int (*result)(char c1, char c2);  // the byte, or kUnreadable
};

const PairRow kPairTable[] = {
    {"TwoDigits", Hex, Hex, [](char a, char b) { return 16 * Digit(a) + Digit(b); }},
    {"ZeroThenX", Zero, LetterX, [](char, char) { return kUnreadable; }},
    {"DigitThenOther", Hex, Any, [](char a, char) { return Digit(a); }},
    {"SpaceThenDigit", Space, Hex, [](char, char b) { return Digit(b); }},
    {"SpaceThenOther", Space, Any, [](char, char) { return kUnreadable; }},
    {"PlusThenDigit", Plus, Hex, [](char, char b) { return Digit(b); }},
    {"MinusThenDigit", Minus, Hex, [](char, char b) { return (256 - Digit(b)) % 256; }},
    {"SignThenOther", Sign, Any, [](char, char) { return kUnreadable; }},
    {"OtherThenAny", Any, Any, [](char, char) { return kUnreadable; }},
};

const PairRow& RowOf(char c1, char c2)
{
    for (const PairRow& row : kPairTable)
        if (row.first(c1) && row.second(c2))
            return row;
    return kPairTable[std::size(kPairTable) - 1];
}

void PrintTo(const PairRow& row, std::ostream* os) { *os << row.name; }

class PairReadingTable : public testing::TestWithParam<PairRow> {};

TEST_P(PairReadingTable, EveryPairOfTheRowReadsAsTheTableSays)
{
    const PairRow& row = GetParam();
    int covered = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char c1 = static_cast<char>(a);
            const char c2 = static_cast<char>(b);
            if (std::strcmp(RowOf(c1, c2).name, row.name) != 0)
                continue;
            ++covered;
            unsigned char value = 0;
            const bool read = ReadHexPair(c1, c2, value);
            const int expected = row.result(c1, c2);
            ASSERT_EQ(read, expected != kUnreadable) << "pair " << a << "," << b;
            if (read) {
                ASSERT_EQ(value, expected) << "pair " << a << "," << b;
            }
        }
    }
    EXPECT_GT(covered, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, PairReadingTable, testing::ValuesIn(kPairTable),
                         [](const testing::TestParamInfo<PairRow>& info) { return info.param.name; });

struct PairExample {
    const char* pair;
    int result;
};

void PrintTo(const PairExample& example, std::ostream* os)
{
    *os << testing::PrintToString(std::string(example.pair, 2));
}

class PairReadingExamples : public testing::TestWithParam<PairExample> {};

TEST_P(PairReadingExamples, ReadsAsWorkedOut)
{
    const PairExample& example = GetParam();
    unsigned char value = 0;
    const bool read = ReadHexPair(example.pair[0], example.pair[1], value);
    ASSERT_EQ(read, example.result != kUnreadable);
    if (read) {
        EXPECT_EQ(value, example.result);
    }
}

INSTANTIATE_TEST_SUITE_P(Worked, PairReadingExamples,
                         testing::Values(PairExample{"4a", 74}, PairExample{"4A", 74},
                                         PairExample{"ff", 255}, PairExample{"4 ", 4},
                                         PairExample{"4\r", 4}, PairExample{" 4", 4},
                                         PairExample{"\n4", 4}, PairExample{"-1", 255},
                                         PairExample{"-0", 0}, PairExample{"+f", 15},
                                         PairExample{"0g", 0}, PairExample{"1x", 1},
                                         PairExample{"  ", kUnreadable},
                                         PairExample{"\r\n", kUnreadable},
                                         PairExample{"0x", kUnreadable},
                                         PairExample{"0X", kUnreadable},
                                         PairExample{"G1", kUnreadable},
                                         PairExample{"++", kUnreadable},
                                         PairExample{" +", kUnreadable},
                                         PairExample{"\xe9" "1", kUnreadable}));

TEST(HexDigits, OnlyTheTwentyTwoDigitCharactersAreDigits)
{
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(IsHexDigit(static_cast<char>(c)), Hex(static_cast<char>(c))) << c;
}

TEST(HexDigits, EveryByteIsWrittenAsTwoUppercaseDigits)
{
    for (int byte = 0; byte < 256; ++byte) {
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02X", static_cast<unsigned>(byte));
        char out[2] = {};
        WriteHexByte(static_cast<unsigned char>(byte), out);
        EXPECT_EQ(std::string(out, 2), expected);
    }
}

} // namespace
