#include "session/LineStamps.h"

#include <cstdio>

std::string StampText(std::int64_t dayMs)
{
    constexpr std::int64_t kDayMs = 24 * 60 * 60 * 1000;
    dayMs = ((dayMs % kDayMs) + kDayMs) % kDayMs;
    char text[24];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03d] ", static_cast<int>(dayMs / 3600000),
                  static_cast<int>(dayMs / 60000 % 60), static_cast<int>(dayMs / 1000 % 60),
                  static_cast<int>(dayMs % 1000));
    return text;
}

std::string LineStamps::Stamp(std::string_view text, bool reportEndsLine, bool breakWhenQuiet, std::int64_t nowMs,
                              std::int64_t dayMs)
{
    if (text.empty())
        return {};
    std::string out;
    bool lineStart = reportEndsLine;
    if (!lineStart && breakWhenQuiet && m_lastTextMs >= 0 && nowMs - m_lastTextMs >= kQuietBreakMs) {
        out += "\r\n";
        lineStart = true;
    }
    m_lastTextMs = nowMs;
    const std::string stamp = StampText(dayMs);
    for (const char c : text) {
        if (lineStart)
            out += stamp;
        out += c;
        lineStart = c == '\n';
    }
    return out;
}
