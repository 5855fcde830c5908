#include "bus/PlotChoice.h"

#include <algorithm>
#include <charconv>

namespace {

bool ReadNumber(std::string_view text, int low, int high, int& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, problem] = std::from_chars(text.data(), end, number);
    return !text.empty() && problem == std::errc() && stop == end && number >= low && number <= high;
}

bool ReadEntry(std::string_view entry, RegisterKey& key)
{
    const std::size_t first = entry.find(':');
    const std::size_t second = first == std::string_view::npos ? first : entry.find(':', first + 1);
    if (second == std::string_view::npos)
        return false;
    int node = 0;
    int width = 0;
    int reg = 0;
    if (!ReadNumber(entry.substr(0, first), 0, 63, node) ||
        !ReadNumber(entry.substr(first + 1, second - first - 1), 16, 32, width) ||
        (width != 16 && width != 32) || !ReadNumber(entry.substr(second + 1), 0, 15, reg))
        return false;
    key = {node, width == 32, reg};
    return true;
}

} // namespace

std::string FormatPlotChoice(const std::vector<RegisterKey>& keys)
{
    std::string text;
    for (const RegisterKey& key : keys) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(key.node) + (key.wide ? ":32:" : ":16:") + std::to_string(key.reg);
    }
    return text;
}

std::vector<RegisterKey> ParsePlotChoice(std::string_view text)
{
    std::vector<RegisterKey> keys;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        RegisterKey key;
        if (ReadEntry(text.substr(0, end), key) && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return keys;
}
