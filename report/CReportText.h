#pragma once

#include <cstdint>
#include <string>

// The report as the user's contract defines it: single-byte text whose lines
// end in "\r\n", positions counted in bytes (so a line end is two characters),
// one selection, and the append that trims the oldest lines once the text
// would outgrow its limit. Every report measurement is taken here, exactly and
// at once; the window on screen only mirrors this text, at display rate.
//
// State: the text, the selection (start <= end, both within the text) and
// Base(), the number of characters ever removed from the front. Base() only
// grows, so a mirror that remembers how far it had copied can tell which part
// of its copy is gone and which part of the text is new.
class CReportText {
public:
    // The limit of a report nobody has resized, and the smallest one allowed.
    static constexpr int kReportLimit = 20000;
    // The largest limit the user may choose: a long session kept on screen.
    static constexpr int kLargestReportLimit = 64 * 1024 * 1024;

    int Limit() const { return m_limit; }
    // limit within kReportLimit..kLargestReportLimit. A report longer than
    // the new limit loses its oldest lines at once, down to the limit; the
    // selection is kept as an append keeps it. Returns 1 when text was removed.
    int SetLimit(int limit);

    int Length() const { return static_cast<int>(m_text.size()); }
    const std::string& Text() const { return m_text; }
    std::int64_t Base() const { return m_base; }

    // The selection, ordered; a caret when start equals end.
    int SelStart() const { return m_selStart; }
    int SelEnd() const { return m_selEnd; }
    // Either end may be given first; both are clamped into the text.
    void SetSel(int start, int end);

    // Number of the line holding pos; a position beyond the text lies in the
    // last line. A line end belongs to the line it ends.
    int LineFromChar(int pos) const;
    // Position where line starts, or -1 when there is no such line.
    int LineIndex(int line) const;

    // Appends text, first trimming old lines when the limit would be
    // exceeded; keeps the user's selection on the characters it covered.
    // Returns 1 when old text was removed, otherwise 0.
    int Append(const char* text);

    // Empties the report; the caret goes to its start.
    void Clear();

private:
    void CutFront(int count);
    void CutKeepingSelection(int count);

    std::string m_text;
    int m_selStart = 0;
    int m_selEnd = 0;
    std::int64_t m_base = 0;
    int m_limit = kReportLimit;
};
