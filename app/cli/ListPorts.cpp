#include "app/cli/ListPorts.h"

#include "app/cli/CommandLineOptions.h"
#include "app/cli/FdOutput.h"
#include "devices/DeviceList.h"
#include "devices/PortListText.h"

namespace {

bool Write(int fd, const std::string& text)
{
    return WriteAll(fd, text.data(), text.size());
}

} // namespace

int ListPorts(bool json, int out, int err)
{
    const DeviceListing listing = ListSerialDevices();
    for (const std::string& note : listing.notes)
        Write(err, "tamsel: " + note + "\n");
    if (!listing.error.empty()) {
        Write(err, "tamsel: --list-ports: " + listing.error + "\n");
        return kExitFailure;
    }
    const std::string text = json ? PortListJson(listing.devices) : PortListText(listing.devices);
    return Write(out, text) ? kExitOk : kExitFailure;
}
