#include "serial/ModemWatch.h"

#include "serial/SerialLine.h"

#include <cerrno>
#include <chrono>

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>

namespace {

constexpr int kInputs = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

void Interrupted(int) {}

// A signal whose handler does nothing, installed without SA_RESTART, so that
// it ends a blocking wait with EINTR and has no other effect. A real-time
// signal, which neither Qt nor the terminal use.
int WakeSignal()
{
    static const int signal = [] {
        const int number = SIGRTMIN + 3;
        struct sigaction action {};
        action.sa_handler = Interrupted;
        sigemptyset(&action.sa_mask);
        sigaction(number, &action, nullptr);
        return number;
    }();
    return signal;
}

} // namespace

void ModemWatch::Start(SerialLine& line, ModemListener& listener, int pollMs)
{
    Stop();
    WakeSignal();
    m_stopping.store(false);
    m_ended.store(false);
    m_thread = std::thread([this, &line, &listener, pollMs] {
        Run(line, listener, pollMs);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended.store(true);
        m_wake.notify_all();
    });
}

void ModemWatch::Stop()
{
    if (!m_thread.joinable())
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stopping.store(true);
    m_wake.notify_all();
    // A signal that comes just before the thread enters the driver's wait is
    // spent on nothing, so it is sent again until the thread has ended.
    while (!m_ended.load()) {
        pthread_kill(m_thread.native_handle(), WakeSignal());
        m_wake.wait_for(lock, std::chrono::milliseconds(2));
    }
    lock.unlock();
    m_thread.join();
}

bool ModemWatch::Pause(int pollMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(pollMs), [this] { return m_stopping.load(); });
}

void ModemWatch::Run(SerialLine& line, ModemListener& listener, int pollMs)
{
    int shown = ModemListener::kNoModemLines;
    bool driverWaits = true;
    while (!m_stopping.load()) {
        int bits = 0;
        if (line.GetModemLines(bits) != 0)
            break;
        bits &= kInputs;
        if (bits != shown) {
            shown = bits;
            listener.ModemInputs(bits);
        }
        if (driverWaits) {
            if (line.WaitModemChange() == 0 || errno == EINTR)
                continue;
            driverWaits = false;
        }
        if (!Pause(pollMs))
            break;
    }
    listener.ModemInputs(ModemListener::kNoModemLines);
}
