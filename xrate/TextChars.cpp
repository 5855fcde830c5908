#include "xrate/TextChars.h"

#include <charconv>

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
