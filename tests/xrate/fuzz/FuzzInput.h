#pragma once

#include "xrate/CXrate.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Shared by the conversion fuzz targets: feed converters the way the view does,
// in buffers of exactly the right size so that any read past the terminating
// zero byte shows up under the address sanitizer.

// Stops the run with a message so the fuzzer keeps the input that broke it.
inline void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "conversion invariant broken: %s\n", what);
        std::abort();
    }
}

// The fuzz input as a command line: a writable copy ending in its terminator.
// A zero byte in the input ends the command there, as it would end the text.
inline std::vector<char> CommandText(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    return text;
}

// Splits the input into chunks of 0 to kMaxChunk bytes, each followed by the
// zero byte the receive pump adds. The first two input bytes seed the chunk
// sizes, so the fuzzer also explores where chunks end.
template <typename Visit>
void ForEachChunk(const uint8_t* data, size_t size, Visit visit)
{
    if (size < 2)
        return;
    uint32_t state = (uint32_t(data[0]) << 8 | data[1]) + 1;
    for (size_t at = 2; at < size;) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const size_t count = std::min<size_t>(state % (kMaxChunk + 1), size - at);
        std::vector<unsigned char> chunk(data + at, data + at + count);
        chunk.push_back(0);
        visit(chunk.data(), static_cast<int>(count));
        at += count;
    }
}

inline bool IsUpperHexDigit(char c)
{
    return c != '\0' && std::strchr("0123456789ABCDEF", c);
}

// The value of two hexadecimal digits, worked out apart from the converters.
inline unsigned DigitPairValue(char c1, char c2)
{
    const char pair[3] = {c1, c2, '\0'};
    return static_cast<unsigned>(std::strtoul(pair, nullptr, 16));
}
