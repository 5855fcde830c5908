#include "app/cli/FdOutput.h"

#include <cerrno>
#include <unistd.h>

bool WriteAll(int fd, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}
