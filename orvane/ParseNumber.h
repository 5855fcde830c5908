#pragma once

#include <cstdint>

// Numbers of the command language: "0x" or "0X" and hexadecimal digits, or an
// optional sign and decimal digits, each up to the first character that is not
// a digit of its base ("12abc" is 12). Values wrap modulo 2 to the power 32, so
// "-1", "4294967295" and "0xFFFFFFFF" are the same 32 bits.

// Longest argument token the encoder accepts; as long as a command word may be.
inline constexpr int kMaxTokenLength = 199;

enum class NumberToken {
    None,        // nothing but white space was left
    Number,      // a token that starts with a number
    NotANumber,  // a token that does not start with a digit (or a sign and a digit)
    TooLong,     // a token longer than kMaxTokenLength
};

// Reads the next white-space-separated token from position and converts it.
// Moves position past the token unless the result is None. value is the
// token's conversion whatever the result (0 when it holds no digits).
NumberToken ParseNumber(const char*& position, int32_t& value);
