#include "xrate/HexText.h"

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

} // namespace

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool ReadHexPair(char c1, char c2, unsigned char& value)
{
    const char pair[2] = {c1, c2};
    int pos = 0;
    while (pos < 2 && IsWhiteSpace(pair[pos]))
        ++pos;
    if (pos == 2)
        return false;

    // The field of two starts at the first character that is not white space
    // and always reaches past c2, so c2 is the last character it can take.
    bool negative = false;
    if (pair[pos] == '+' || pair[pos] == '-') {
        negative = pair[pos] == '-';
        ++pos;
    } else if (pos == 0 && pair[0] == '0' && (pair[1] == 'x' || pair[1] == 'X')) {
        return false;
    }

    int number = 0;
    int digits = 0;
    for (; pos < 2 && IsHexDigit(pair[pos]); ++pos, ++digits)
        number = number * 16 + DigitValue(pair[pos]);
    if (digits == 0)
        return false;

    value = static_cast<unsigned char>(negative ? -number : number);
    return true;
}

void WriteHexByte(unsigned char byte, char* out)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = kDigits[byte >> 4];
    out[1] = kDigits[byte & 0x0F];
}
