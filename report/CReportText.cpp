#include "report/CReportText.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// When the text would outgrow the limit, the cut keeps the newest lines but
// frees a quarter of the limit beyond the new text, so trims stay rare.
constexpr int kTrimSlackDivisor = 4;
// A text this much shorter than the report replaces it all.
constexpr int kReplaceMargin = 50;

} // namespace

void CReportText::SetSel(int start, int end)
{
    const int length = Length();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    m_selStart = std::min(start, end);
    m_selEnd = std::max(start, end);
}

int CReportText::LineFromChar(int pos) const
{
    const std::string_view text(m_text);
    const std::size_t limit = static_cast<std::size_t>(std::clamp(pos, 0, Length()));
    int line = 0;
    // Only line ends wholly before pos start a later line.
    for (std::size_t at = text.find(kLineEnd); at != std::string_view::npos && at + 2 <= limit;
         at = text.find(kLineEnd, at + 2))
        ++line;
    return line;
}

int CReportText::LineIndex(int line) const
{
    if (line < 0)
        return -1;
    const std::string_view text(m_text);
    std::size_t start = 0;
    for (int i = 0; i < line; ++i) {
        const std::size_t at = text.find(kLineEnd, start);
        if (at == std::string_view::npos)
            return -1;
        start = at + 2;
    }
    return static_cast<int>(start);
}

int CReportText::Append(const char* text)
{
    const int added = static_cast<int>(std::strlen(text));
    const int length = Length();
    int result = 0;
    if (static_cast<long long>(length) + added > m_limit) {
        int cut = length;
        if (added + kReplaceMargin <= length) {
            const int next = LineIndex(LineFromChar(m_limit / kTrimSlackDivisor + added) + 1);
            if (next >= 0)
                cut = next;
        }
        CutKeepingSelection(cut);
        result = 1;
    }
    const int keptStart = m_selStart;
    const int keptEnd = m_selEnd;
    m_text.append(text, static_cast<std::size_t>(added));
    m_selStart = m_selEnd = Length();
    // A caret left at the very start follows the text to its end instead.
    if (keptEnd > 0)
        SetSel(keptStart, keptEnd);
    return result;
}

int CReportText::SetLimit(int limit)
{
    m_limit = std::clamp(limit, kReportLimit, kLargestReportLimit);
    const int excess = Length() - m_limit;
    if (excess <= 0)
        return 0;
    // Whole lines go, as in a trim; a last line longer than the limit goes too.
    const int next = LineIndex(LineFromChar(excess - 1) + 1);
    CutKeepingSelection(next >= 0 ? next : Length());
    return 1;
}

void CReportText::CutKeepingSelection(int count)
{
    int start = m_selStart;
    const int end = m_selEnd - count;
    CutFront(count);
    start = std::max(start - count, 0);
    // A selection wholly inside the removed text is dropped.
    if (end > 0)
        SetSel(start, end);
}

void CReportText::Clear()
{
    CutFront(Length());
}

void CReportText::CutFront(int count)
{
    m_text.erase(0, static_cast<std::size_t>(count));
    m_base += count;
    m_selStart = m_selEnd = 0;
}
