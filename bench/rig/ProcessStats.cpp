#include "bench/rig/ProcessStats.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include <unistd.h>

namespace {

// utime + stime of /proc/PID/stat, in seconds.
double StatSeconds(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return 0.0;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    if (!read)
        return 0.0;
    // The command name may hold blanks; the fields after it start past ')'.
    const char* after = std::strrchr(line, ')');
    if (!after)
        return 0.0;
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                    &stime) != 2)
        return 0.0;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

double CpuSeconds(pid_t pid)
{
    clockid_t clock;
    timespec now{};
    if (clock_getcpuclockid(pid, &clock) == 0 && clock_gettime(clock, &now) == 0)
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return StatSeconds(pid);
}

long PeakRssKiB(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "VmHWM: %ld", &kib) == 1)
            break;
    std::fclose(file);
    return kib;
}
