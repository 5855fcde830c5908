#include "serial/BaudRates.h"

std::string RateText(int rate)
{
    return std::to_string(rate) + " bps";
}

std::string RateList()
{
    std::string list;
    for (int i = 0; i < kRateCount; ++i) {
        if (i > 0)
            list += i + 1 == kRateCount ? " or " : ", ";
        list += std::to_string(kBaudRates[i]);
    }
    return list;
}
