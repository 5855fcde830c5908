#include "xrate/HexText.h"

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
        number = number * 16 + HexDigitValue(pair[pos]);
    if (digits == 0)
        return false;

    value = static_cast<unsigned char>(negative ? -number : number);
    return true;
}

void WriteHexByte(unsigned char byte, char* out)
{
    out[0] = kHexDigits[byte >> 4];
    out[1] = kHexDigits[byte & 0x0F];
}
