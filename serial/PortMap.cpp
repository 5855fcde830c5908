#include "serial/PortMap.h"

#include "xrate/TextChars.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kDevicePrefix[] = "\\\\.\\COM";

// A port number of at most 9 digits; 0 when there is none.
int ParsePortDigits(std::string_view digits)
{
    int value = 0;
    return ReadDecimal(digits, 1, 999'999'999, value) ? value : 0;
}

} // namespace

int PortMap::PortFromKey(std::string_view key)
{
    if (key.size() < 4)
        return 0;
    const std::string_view com = key.substr(0, 3);
    if ((com[0] | 0x20) != 'c' || (com[1] | 0x20) != 'o' || (com[2] | 0x20) != 'm')
        return 0;
    const int port = ParsePortDigits(key.substr(3));
    return port <= kMappedPorts ? port : 0;
}

bool PortMap::SetUserPath(std::string_view key, std::string path)
{
    const int port = PortFromKey(key);
    if (port == 0 || path.empty())
        return false;
    m_user[port - 1] = std::move(path);
    return true;
}

bool PortMap::SetOverride(std::string_view assignment)
{
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos)
        return false;
    const int port = PortFromKey(assignment.substr(0, equals));
    const std::string_view path = assignment.substr(equals + 1);
    if (port == 0 || path.empty())
        return false;
    m_override[port - 1] = std::string(path);
    return true;
}

int PortMap::PortNumber(const char* deviceName)
{
    if (deviceName == nullptr)
        return 0;
    const std::size_t prefix = sizeof kDevicePrefix - 1;
    if (std::strncmp(deviceName, kDevicePrefix, prefix) != 0)
        return 0;
    return ParsePortDigits(deviceName + prefix);
}

std::string PortMap::DefaultPath(int port)
{
    char path[32];
    if (port >= 1 && port <= 4)
        std::snprintf(path, sizeof path, "/dev/ttyS%d", port - 1);
    else if (port >= 5 && port <= 12)
        std::snprintf(path, sizeof path, "/dev/ttyUSB%d", port - 5);
    else if (port >= 13 && port <= kMappedPorts)
        std::snprintf(path, sizeof path, "/dev/ttyACM%d", port - 13);
    else
        return {};
    return path;
}

std::string PortMap::Resolve(const char* deviceName) const
{
    if (deviceName == nullptr)
        return {};
    if (deviceName[0] == '/')
        return deviceName;
    const int port = PortNumber(deviceName);
    if (port >= 1 && port <= kMappedPorts) {
        if (!m_override[port - 1].empty())
            return m_override[port - 1];
        if (!m_user[port - 1].empty())
            return m_user[port - 1];
    }
    return DefaultPath(port);
}
