#include "view/ReportDisplay.h"

#include <algorithm>
#include <cstring>

namespace {

// The "\n" of a "\r\n" pair: the "\r" already made the break.
bool IsHidden(std::string_view text, std::size_t at, char before)
{
    const char previous = at > 0 ? text[at - 1] : before;
    return text[at] == '\n' && previous == '\r';
}

// Position of the first hidden "\n" at or after from, or text.size(). Line
// feeds are found with memchr: a 64 MiB report is mapped in a few
// milliseconds, not in a pass over every byte.
std::size_t NextHidden(std::string_view text, std::size_t from)
{
    const char* data = text.data();
    while (from < text.size()) {
        const void* found = std::memchr(data + from, '\n', text.size() - from);
        if (found == nullptr)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        if (at > 0 && data[at - 1] == '\r')
            return at;
        from = at + 1;
    }
    return text.size();
}

} // namespace

QString DisplayText(std::string_view text, char before)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsHidden(text, at, before))
            continue;
        const auto byte = static_cast<unsigned char>(text[at]);
        shown += byte == '\r' ? QChar(u'\n') : QChar(byte);
    }
    return shown;
}

int DisplayPosition(std::string_view text, int pos)
{
    return DisplayDistance(text, 0, pos);
}

int DisplayDistance(std::string_view text, int from, int to)
{
    const std::size_t end = to < 0 ? 0 : std::min(static_cast<std::size_t>(to), text.size());
    const std::size_t start = from < 0 ? 0 : std::min(static_cast<std::size_t>(from), end);
    std::size_t hidden = 0;
    for (std::size_t at = NextHidden(text, start); at < end; at = NextHidden(text, at + 1))
        ++hidden;
    return static_cast<int>(end - start - hidden);
}

int ReportPosition(std::string_view text, int shown)
{
    // Between two hidden line feeds every position is shown, one character each.
    const std::size_t wanted = shown < 0 ? 0 : static_cast<std::size_t>(shown);
    std::size_t hidden = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t next = NextHidden(text, start);
        const std::size_t at = std::max(start, wanted + hidden);
        if (at < next)
            return static_cast<int>(at);
        if (next >= text.size())
            return static_cast<int>(text.size());
        ++hidden;
        start = next + 1;
    }
}
