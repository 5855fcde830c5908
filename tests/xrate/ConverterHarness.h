#pragma once

#include "xrate/CXrate.h"
#include "xrate/CXrateBin.h"
#include "xrate/CXrateHex.h"
#include "xrate/CXrateRaw.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Calls converters the way the view does, so tests state cases as plain strings.

enum class Conversion { Raw, Hex, Bin };

inline std::unique_ptr<CXrate> MakeConverter(Conversion conversion, void* owner)
{
    switch (conversion) {
    case Conversion::Raw:
        return std::make_unique<CXrateRaw>(owner);
    case Conversion::Hex:
        return std::make_unique<CXrateHex>(owner);
    case Conversion::Bin:
        return std::make_unique<CXrateBin>(owner);
    }
    return nullptr;
}

struct Sent {
    std::string bytes;  // what the view would write to the port
    int len;
};

// Hands XrateSend a writable copy of command with len kSendText, then takes the
// result as the view does: text up to its terminator, or exactly len bytes.
inline Sent Send(CXrate& converter, const std::string& command)
{
    std::vector<char> text(command.begin(), command.end());
    text.push_back('\0');
    int len = kSendText;
    const char* result = converter.XrateSend(text.data(), len);
    if (len >= 0)
        return {std::string(result ? result : "", static_cast<size_t>(len)), len};
    return {std::string(result), len};
}

// Hands XrateReceive the chunk with the zero byte the receive pump puts after it.
inline std::string Receive(CXrate& converter, const std::string& chunk)
{
    std::vector<unsigned char> bytes(chunk.begin(), chunk.end());
    bytes.push_back(0);
    return converter.XrateReceive(bytes.data(), static_cast<int>(chunk.size()));
}

// n characters cycling through the digits 0-9, so a cut shows where it fell.
inline std::string Counting(size_t n)
{
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text.push_back(static_cast<char>('0' + i % 10));
    return text;
}

inline std::string Repeat(const std::string& unit, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}
