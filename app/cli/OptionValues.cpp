#include "app/cli/OptionValues.h"

#include "serial/LineRate.h"
#include "serial/PortMap.h"
#include "xrate/TextChars.h"

#include <climits>

bool ReadSwitch(std::string_view text, bool& on)
{
    if (EqualsIgnoringCase(text, "on"))
        on = true;
    else if (EqualsIgnoringCase(text, "off"))
        on = false;
    else
        return false;
    return true;
}

int ReadPortName(std::string_view text)
{
    int port = 0;
    if (text.size() < 4 || !EqualsIgnoringCase(text.substr(0, 3), "com") || !ReadDecimal(text.substr(3), 0, INT_MAX, port))
        return 0;
    return port >= 1 && port <= kMappedPorts ? port : 0;
}

int ReadLineRate(std::string_view text)
{
    int rate = 0;
    return ReadDecimal(text, kMinLineRate, kMaxLineRate, rate) ? rate : 0;
}

bool ReadMilliseconds(std::string_view text, int& ms)
{
    int value = 0;
    if (!ReadDecimal(text, 0, kMaxWaitMs, value))
        return false;
    ms = value;
    return true;
}
