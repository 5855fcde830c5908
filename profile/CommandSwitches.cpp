#include "profile/CommandSwitches.h"

#include "resources/CommandIds.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char kMain[] = "tamsel_OV";

constexpr CommandSwitch kSwitches[] = {
    {ID_LOCAL_ECHO, "echo", "local echo of sent commands", "local echo",
     {ProfileKey::kSwitch, kMain, "localecho", nullptr, 1, INT_MIN, INT_MAX, OutOfRange::kFallback}, false},
    {ID_RECEIVE_ENABLE, "receive", "display of received data", "display of received data",
     {ProfileKey::kSwitch, kMain, "receiveenable", nullptr, 1, INT_MIN, INT_MAX, OutOfRange::kFallback}, false},
    {ID_VIEW_TIME_STAMPS, nullptr, nullptr, nullptr,
     {ProfileKey::kSwitch, "report", "timestamps", nullptr, 0, INT_MIN, INT_MAX, OutOfRange::kFallback}, true},
};

} // namespace

std::span<const CommandSwitch> CommandSwitches()
{
    return kSwitches;
}

const CommandSwitch* SwitchOfCommand(int command)
{
    const auto found = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                    [command](const CommandSwitch& entry) { return entry.command == command; });
    return found == std::end(kSwitches) ? nullptr : found;
}

const CommandSwitch* SwitchNamed(std::string_view name)
{
    const auto found = std::find_if(std::begin(kSwitches), std::end(kSwitches), [name](const CommandSwitch& entry) {
        return entry.name != nullptr && name == entry.name;
    });
    return found == std::end(kSwitches) ? nullptr : found;
}
