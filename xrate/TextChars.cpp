#include "xrate/TextChars.h"

#include <charconv>

bool EqualsIgnoringCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + ('a' - 'A')) : text[i];
        if (c != lower[i])
            return false;
    }
    return true;
}

bool ReadDecimal(std::string_view text, int low, int high, int& value)
{
    if (text.empty() || text[0] < '0' || text[0] > '9' || (text.size() > 1 && text[0] == '0'))
        return false;
    int read = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, read);
    if (result.ec != std::errc() || result.ptr != end || read < low || read > high)
        return false;
    value = read;
    return true;
}
