#include "orvane/ParseNumber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct NumberCase {
    const char* text;
    NumberToken token;
    int32_t value;
    int consumed;  // characters the position moves
};

const NumberCase kNumbers[] = {
    {"42", NumberToken::Number, 42, 2},
    {"  \t42 7", NumberToken::Number, 42, 5},
    {"-1", NumberToken::Number, -1, 2},
    {"+9", NumberToken::Number, 9, 2},
    {"4294967295", NumberToken::Number, -1, 10},
    {"4294967296", NumberToken::Number, 0, 10},
    {"0xFFFFFFFF", NumberToken::Number, -1, 10},
    {"0X1f", NumberToken::Number, 31, 4},
    {"0x123456789", NumberToken::Number, 0x23456789, 11},
    {"0x", NumberToken::Number, 0, 2},
    {"0xg1", NumberToken::Number, 0, 4},
    {"12abc", NumberToken::Number, 12, 5},
    {"-0x10", NumberToken::Number, 0, 5},
    {"abc", NumberToken::NotANumber, 0, 3},
    {"-", NumberToken::NotANumber, 0, 1},
    {"x12", NumberToken::NotANumber, 0, 3},
    {"", NumberToken::None, 0, 0},
    {" \r\n ", NumberToken::None, 0, 0},
};

class ParseNumberCases : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberCases, ClassifiesConvertsAndMovesPastTheToken)
{
    const NumberCase& c = GetParam();
    const char* position = c.text;
    int32_t value = 12345;
    EXPECT_EQ(ParseNumber(position, value), c.token);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(position - c.text, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(Tokens, ParseNumberCases, ::testing::ValuesIn(kNumbers));

TEST(ParseNumber, TokenBeyond199CharactersIsTooLong)
{
    const std::string fits(199, '1');
    const std::string over(200, '1');
    const char* position = fits.c_str();
    int32_t value = 0;
    EXPECT_EQ(ParseNumber(position, value), NumberToken::Number);
    position = over.c_str();
    EXPECT_EQ(ParseNumber(position, value), NumberToken::TooLong);
    EXPECT_EQ(*position, '\0');
}

} // namespace
