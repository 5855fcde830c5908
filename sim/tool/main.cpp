// orvane-sim: a simulated Orvane bus on a pseudo-terminal. Prints the device
// path, serves the bus on its own thread and waits here for SIGINT, SIGTERM
// or (with --until-eof) the end of standard input.

#include "sim/OrvaneSim.h"
#include "sim/SimOptions.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Waits until a stop signal comes or, when watchInput is set, standard input ends.
void WaitForEnd(int signals, bool watchInput)
{
    pollfd fds[2] = {{signals, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = watchInput ? 2 : 1;
    char discard[512];
    for (;;) {
        if (poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents & POLLIN)
            return;
        if (watchInput && fds[1].revents) {
            const ssize_t got = read(STDIN_FILENO, discard, sizeof discard);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    sim::SimOptions options;
    std::string error;
    if (sim::ParseSimOptions(argc, argv, options, error) != 0) {
        std::fprintf(stderr, "orvane-sim: %s\nTry 'orvane-sim --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(sim::SimUsage(), stdout);
        return 0;
    }

    // Blocked before the bus thread starts, so the signals reach only the signalfd.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signals = signalfd(-1, &stops, SFD_CLOEXEC);
    if (signals < 0) {
        std::perror("orvane-sim: signalfd");
        return kExitFailure;
    }

    sim::OrvaneSim simulator;
    if (simulator.Start(options, error) != 0) {
        std::fprintf(stderr, "orvane-sim: %s\n", error.c_str());
        return kExitFailure;
    }
    std::printf("%s\n", simulator.DevicePath().c_str());
    std::fflush(stdout);

    WaitForEnd(signals, options.untilEof);
    simulator.Stop();
    close(signals);
    return 0;
}
