// The values of a hostile settings profile on their way to the run's
// settings, as start-up takes them: the "ports" entry into the port map, the
// stored port name, rate and conversion indices through the setup rules, and
// the device name that the port is then opened by. Nothing may crash, and
// every result must be one the system can use.
//
// Input: rate, receive and transmit conversion (4 bytes each, little-endian),
// one byte choosing the "ports" key COM0..COM23, then the stored port name up
// to the first line feed (any bytes, zero bytes too, as a profile text can
// hold them) and the entry's path after it.

#include "profile/ProfileTable.h"
#include "profile/ProfileValues.h"
#include "conversions/ConversionRegistry.h"
#include "serial/BaudRates.h"
#include "serial/CComPort.h"
#include "serial/PortMap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "profile value rule broken: %s\n", what);
        std::abort();
    }
}

int32_t ReadInt(const uint8_t* bytes)
{
    const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                           uint32_t(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

long long Distance(int entry, int rate)
{
    return std::llabs(static_cast<long long>(entry) - rate);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kHeader = 13;
    if (size < kHeader)
        return 0;
    const int rate = ReadInt(data);
    const int storedRx = ReadInt(data + 4);
    const int storedTx = ReadInt(data + 8);
    const int keyNumber = data[12] % 24;
    const std::string rest(reinterpret_cast<const char*>(data + kHeader), size - kHeader);
    const size_t split = rest.find('\n');
    const std::string stored = rest.substr(0, split);
    const std::string path = split == std::string::npos ? std::string() : rest.substr(split + 1);

    PortMap map;
    const std::string key = "COM" + std::to_string(keyNumber);
    const bool entered = map.SetUserPath(key, path);
    Require(entered == (keyNumber >= 1 && keyNumber <= kMappedPorts && !path.empty()),
            "a ports entry is taken exactly when its key and path are usable");

    const char* name = StoredPortName(stored.c_str(), stored.size());
    Require(std::strlen(name) < kStoredPortNameSize, "the name used fits the name buffer");
    const int port = PortIndexFromName(name);
    Require(port >= 0, "a port index is never negative");
    if (stored.size() >= kStoredPortNameSize)
        Require(port == 0, "a name too long for the buffer means COM1");

    char device[kPortNameSize];
    FormatDeviceName(device, sizeof device, port);
    const long long number = static_cast<long long>(port) + 1;
    Require(std::strlen(device) + 1 < sizeof device, "every device name fits the port's name field");
    const int parsed = PortMap::PortNumber(device);
    Require(parsed == number || (number >= 1000000000 && parsed == 0),
            "the device name carries the port number");

    const std::string resolved = map.Resolve(device);
    const std::string expected = entered && keyNumber == number ? path : PortMap::DefaultPath(parsed);
    Require(resolved == expected, "the port leads to its entry, else to its default, else nowhere");

    const int baud = NearestBaudIndex(rate);
    Require(baud >= 0 && baud < kRateCount, "the baud index is in the table");
    for (int i = 0; i < kRateCount; ++i) {
        const long long gap = Distance(kBaudRates[i], rate);
        const long long chosen = Distance(kBaudRates[baud], rate);
        Require(i < baud ? gap > chosen : gap >= chosen, "the nearest entry, the first of two as near");
    }

    // The same bytes as a stored other rate beside the chosen entry.
    const int other = StoredOtherRate(rate, baud);
    Require(other == 0 || (other == rate && other >= 50 && other <= 4000000 && other != kBaudRates[baud] &&
                           NearestBaudIndex(other) == baud),
            "an other rate is a line rate beside the entry the rate key chose");

    for (const auto& [id, value] : {std::pair{ProfileKey::kReceiveXrate, storedRx},
                                   std::pair{ProfileKey::kSendXrate, storedTx}}) {
        const int index = StoredNumber(id, value);
        Require(index >= 0 && index < kConversionCount, "the conversion is in the table");
        Require(value >= 0 && value < kConversionCount ? index == value : index == 0,
                "an index outside the table means Raw");
    }

    // Every number the profile holds, each stored value tried on every key.
    for (const ProfileSetting& setting : ProfileSettings()) {
        if (setting.textFallback != nullptr)
            continue;
        Require(StoredNumber(setting, std::nullopt) == setting.fallback, "a missing number reads as its default");
        for (const int value : {rate, storedRx, storedTx}) {
            const int taken = StoredNumber(setting, value);
            const bool inRange = value >= setting.least && value <= setting.most;
            Require(inRange ? taken == value : (taken >= setting.least && taken <= setting.most) ||
                                                   taken == setting.fallback,
                    "a number in range is taken as it is, one outside is brought into range or defaulted");
        }
    }
    return 0;
}
