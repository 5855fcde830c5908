#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Time stamps at the start of report lines of received text: each line
// begins with "[HH:MM:SS.mmm] ", the time its first text arrived. Whether a
// line has begun is read from the report itself, so echoed commands and
// other report lines in between are respected. Text without line ends of
// its own (the Bin display) also starts a new stamped line once the line has
// been quiet for kQuietBreakMs.
class LineStamps {
public:
    static constexpr std::int64_t kQuietBreakMs = 200;

    // The text to append for received text. reportEndsLine: the report is
    // empty or ends in a line feed. nowMs: a monotonic clock; dayMs: the local
    // time of day in milliseconds, for the stamp.
    std::string Stamp(std::string_view text, bool reportEndsLine, bool breakWhenQuiet, std::int64_t nowMs,
                      std::int64_t dayMs);

    // Forgets when text last came, so the next text is not taken as after a pause.
    void Reset() { m_lastTextMs = -1; }

private:
    std::int64_t m_lastTextMs = -1;
};

// "[HH:MM:SS.mmm] " for a time of day in milliseconds.
std::string StampText(std::int64_t dayMs);
