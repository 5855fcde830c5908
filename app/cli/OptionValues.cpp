#include "app/cli/OptionValues.h"

#include "app/CSetup.h"
#include "xrate/TextChars.h"

#include <climits>

namespace {

bool SameLetters(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
        if (c != lower[i])
            return false;
    }
    return true;
}

} // namespace

int ConversionIndex(std::string_view name)
{
    for (int i = 0; i < kConversionNameCount; ++i) {
        if (SameLetters(name, kConversionNames[i]))
            return i;
    }
    return -1;
}

bool ReadSwitch(std::string_view text, bool& on)
{
    if (SameLetters(text, "on"))
        on = true;
    else if (SameLetters(text, "off"))
        on = false;
    else
        return false;
    return true;
}

int ReadPortName(std::string_view text)
{
    int port = 0;
    if (text.size() < 4 || !SameLetters(text.substr(0, 3), "com") || !ReadDecimal(text.substr(3), 0, INT_MAX, port))
        return 0;
    return port >= 1 && port <= CSetup::kPortCount ? port : 0;
}

int ReadBaudRate(std::string_view text)
{
    int rate = 0;
    if (!ReadDecimal(text, 0, INT_MAX, rate))
        return 0;
    for (int i = 0; i < CSetup::kRateCount; ++i) {
        if (CSetup::kBaudRates[i] == rate)
            return rate;
    }
    return 0;
}

bool ReadMilliseconds(std::string_view text, int& ms)
{
    int value = 0;
    if (!ReadDecimal(text, 0, kMaxWaitMs, value))
        return false;
    ms = value;
    return true;
}
