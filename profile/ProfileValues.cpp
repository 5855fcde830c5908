#include "profile/ProfileValues.h"

#include "serial/BaudRates.h"
#include "serial/LineRate.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// atoi's reading of a number (white space, sign, digits), but clamped to the
// range of int instead of overflowing on a long run of digits.
long long ReadNumber(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return value;
}

} // namespace

const char* StoredPortName(const char* stored, std::size_t length)
{
    return stored == nullptr || length >= kStoredPortNameSize ? kDefaultPortName : stored;
}

int PortIndexFromName(const char* name)
{
    const char* com = name ? std::strstr(name, "COM") : nullptr;
    if (!com)
        return 0;
    const long long number = ReadNumber(com + 3);
    return number < 1 ? 0 : static_cast<int>(number - 1);
}

int NearestBaudIndex(int rate)
{
    int best = 0;
    for (int i = 0; kBaudRates[i] != 0; ++i) {
        // 64-bit distances: a rate near INT_MIN must not overflow.
        const long long distance = std::llabs(static_cast<long long>(kBaudRates[i]) - rate);
        const long long bestDistance =
            std::llabs(static_cast<long long>(kBaudRates[best]) - rate);
        if (distance < bestDistance)
            best = i;
    }
    return best;
}

int StoredOtherRate(int stored, int baudIndex)
{
    if (!IsLineRate(stored) || NearestBaudIndex(stored) != baudIndex || kBaudRates[baudIndex] == stored)
        return 0;
    return stored;
}

void FormatDeviceName(char* buffer, std::size_t size, int portIndex)
{
    // Widened so that no index, however it was read, overflows on the way.
    std::snprintf(buffer, size, "\\\\.\\COM%lld", static_cast<long long>(portIndex) + 1);
}
