#pragma once

// What ends each command that Raw and Hex send: CR LF unless the user
// chooses another for a device that wants it.
enum class LineEnd { kCrLf = 0, kCr = 1, kLf = 2, kNone = 3 };

inline constexpr int kLineEndCount = 4;

constexpr const char* LineEndText(LineEnd end)
{
    switch (end) {
    case LineEnd::kCr:
        return "\r";
    case LineEnd::kLf:
        return "\n";
    case LineEnd::kNone:
        return "";
    case LineEnd::kCrLf:
        break;
    }
    return "\r\n";
}
