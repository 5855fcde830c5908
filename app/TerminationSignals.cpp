#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    // Only async-signal-safe calls here: the loop reads the byte.
    [[maybe_unused]] const ssize_t ignored = write(g_pipe[1], &byte, 1);
}

} // namespace

void EndRunOnTerminationSignals(std::function<void()> beforeExit)
{
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [beforeExit = std::move(beforeExit)] {
        unsigned char number = 0;
        if (read(g_pipe[0], &number, 1) != 1)
            return;
        beforeExit();
        QCoreApplication::exit(128 + number);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
