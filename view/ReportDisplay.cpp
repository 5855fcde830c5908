#include "view/ReportDisplay.h"

#include <algorithm>

namespace {

// The "\n" of a "\r\n" pair: the "\r" already made the break.
bool IsHidden(std::string_view text, std::size_t at, char before)
{
    const char previous = at > 0 ? text[at - 1] : before;
    return text[at] == '\n' && previous == '\r';
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
    const std::size_t end = pos < 0 ? 0 : std::min(static_cast<std::size_t>(pos), text.size());
    int shown = 0;
    for (std::size_t at = 0; at < end; ++at) {
        if (!IsHidden(text, at, 0))
            ++shown;
    }
    return shown;
}

int ReportPosition(std::string_view text, int shown)
{
    int counted = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsHidden(text, at, 0))
            continue;
        if (counted >= shown)
            return static_cast<int>(at);
        ++counted;
    }
    return static_cast<int>(text.size());
}
