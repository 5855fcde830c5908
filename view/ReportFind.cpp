#include "view/ReportFind.h"

#include <algorithm>

namespace {

unsigned char Folded(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    // A-Z, and the ISO 8859-1 capitals À-Þ but for the multiplication sign.
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
        return static_cast<unsigned char>(byte + 0x20);
    return byte;
}

bool MatchesAt(std::string_view text, std::size_t at, const FindRequest& request)
{
    if (request.matchCase)
        return text.compare(at, request.needle.size(), request.needle) == 0;
    for (std::size_t i = 0; i < request.needle.size(); ++i) {
        if (Folded(text[at + i]) != Folded(request.needle[i]))
            return false;
    }
    return true;
}

} // namespace

int FindInReport(std::string_view text, int from, const FindRequest& request)
{
    if (request.needle.empty() || request.needle.size() > text.size())
        return -1;
    const auto starts = static_cast<int>(text.size() - request.needle.size()) + 1;  // places a match can start
    from = std::clamp(from, 0, starts);
    if (!request.backwards && from == starts)
        from = 0;
    for (int step = 0; step < starts; ++step) {
        // Forwards: from, from + 1, ... wrapping; backwards: from - 1, from - 2, ...
        const int at = request.backwards ? ((from - 1 - step) % starts + starts) % starts : (from + step) % starts;
        if (MatchesAt(text, static_cast<std::size_t>(at), request))
            return at;
    }
    return -1;
}
