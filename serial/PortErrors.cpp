#include "serial/PortErrors.h"

#include <cerrno>
#include <cstring>

std::string SystemDetail(const std::string& path, int err)
{
    return path + ": " + std::strerror(err);
}

std::string OpenFailureDetail(const std::string& path, int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        // A stable name that is gone means the adapter itself is not there.
        if (path.starts_with("/dev/serial/"))
            return path + ": no such device (that adapter is not plugged in; tamsel --list-ports "
                          "lists the devices present)";
        return path + ": no such device";
    case EACCES:
    case EPERM:
        return path + ": permission denied (serial devices usually belong to the group "
                      "dialout: add the user to it and log in again)";
    case EBUSY:
    case EWOULDBLOCK:
        return path + ": port busy (another program or window has it open)";
    default:
        return SystemDetail(path, err);
    }
}

std::string UnmappedDetail(const char* name)
{
    return std::string("no device path for ") + name +
           " (map it in the settings section \"ports\" or on the command line)";
}
