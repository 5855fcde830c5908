#pragma once

#include <cstddef>
#include <deque>
#include <string>

// Cuts a headless run's standard input into lines as it comes in pieces.
//
// State: the complete lines not yet taken, the piece of the line still
// open, whether the input has ended, and whether a line grew beyond
// kMaxLine. "\n" ends a line and a "\r" just before it is dropped; the end
// of input ends an open last line. A line that grows too long is never
// handed out, and nothing after it either: the run stops there.
class InputLines {
public:
    static constexpr std::size_t kMaxLine = 65536;

    void Add(const char* bytes, std::size_t count);
    void End();

    // The next complete line; false when none is ready.
    bool Next(std::string& line);

    bool HasLine() const { return !m_lines.empty(); }
    bool Ended() const { return m_ended; }
    // A line longer than kMaxLine came after the lines still waiting.
    bool TooLong() const { return m_tooLong; }
    // The number of the line Next gave last, counting from 1.
    int LineNumber() const { return m_taken; }

private:
    void Close();

    std::deque<std::string> m_lines;
    std::string m_open;
    bool m_ended = false;
    bool m_tooLong = false;
    int m_taken = 0;
};
