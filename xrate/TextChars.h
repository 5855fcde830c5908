#pragma once

#include <string_view>

// The character rules every reader and writer of the system's single-byte
// text shares, independent of the locale.

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// One of 0-9, a-f, A-F.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool IsHexDigit(char c)
{
    return HexDigitValue(c) >= 0;
}

// Space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// True when text is lower in any case of its ASCII letters (lower is in lower case).
bool EqualsIgnoringCase(std::string_view text, std::string_view lower);

// Plain decimal digits, no sign, no leading zero (other than "0" itself), the
// value from low to high: how option values, port numbers and settings a
// person types are read.
bool ReadDecimal(std::string_view text, int low, int high, int& value);
