// Feeds arbitrary settings entries, command-line assignments and device names
// to the port map: nothing may crash, and every answer must be a path that the
// map could have been given or one of its defaults.

#include "serial/PortMap.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    const std::string key = input.substr(0, split);
    const std::string rest = split == std::string::npos ? std::string() : input.substr(split + 1);

    PortMap map;
    const bool userSet = map.SetUserPath(key, rest);
    const bool overrideSet = map.SetOverride(input);
    for (const std::string& name : {key, rest, input, "\\\\.\\" + key}) {
        // The map sees names as C strings: up to the first zero byte.
        const std::string path = map.Resolve(name.c_str());
        if (path.empty() || path == name.c_str())
            continue;
        const int port = PortMap::PortNumber(name.c_str());
        const bool known = path == PortMap::DefaultPath(port) || (userSet && path == rest) ||
                           (overrideSet && input.size() > path.size() &&
                            input.compare(input.size() - path.size(), path.size(), path) == 0);
        if (port == 0 || !known)
            std::abort();
    }
    return 0;
}
