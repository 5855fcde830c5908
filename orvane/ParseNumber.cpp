#include "orvane/ParseNumber.h"

#include "orvane/WordScan.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Unsigned arithmetic gives the modulo 2 to the power 32 wrap without overflow.
uint32_t Convert(const char* token)
{
    uint32_t value = 0;
    if (token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        for (const char* p = token + 2; HexDigitValue(*p) >= 0; ++p)
            value = value * 16u + uint32_t(HexDigitValue(*p));
        return value;
    }
    const bool negative = token[0] == '-';
    const char* p = (token[0] == '-' || token[0] == '+') ? token + 1 : token;
    for (; IsDigit(*p); ++p)
        value = value * 10u + uint32_t(*p - '0');
    return negative ? 0u - value : value;
}

bool StartsWithNumber(const char* token)
{
    const char* p = (token[0] == '-' || token[0] == '+') ? token + 1 : token;
    return IsDigit(*p);
}

} // namespace

NumberToken ParseNumber(const char*& position, int32_t& value)
{
    const char* scan = position;
    const Word token = NextWord(scan);
    value = 0;
    if (token.length == 0)
        return NumberToken::None;
    position = scan;
    value = int32_t(Convert(token.begin));
    if (token.length > kMaxTokenLength)
        return NumberToken::TooLong;
    return StartsWithNumber(token.begin) ? NumberToken::Number : NumberToken::NotANumber;
}
