#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class SerialLine;

// The modem inputs of the open line as they change: the TIOCM_CTS, TIOCM_DSR,
// TIOCM_CAR and TIOCM_RNG bits that are set, or kNoModemLines once the line
// has none to show (a pseudo-terminal, a raw network line, a line that is
// gone or closed). Called on the watch's thread.
class ModemListener {
public:
    static constexpr int kNoModemLines = -1;
    virtual void ModemInputs(int bits) = 0;

protected:
    ~ModemListener() = default;
};

// Watches the modem inputs of one line on a thread of its own, so that a
// handshake or carrier change shows without the user-interface thread asking.
// The thread sleeps in the driver's wait for a change (TIOCMIWAIT) where the
// line has one and looks every pollMs where it has not. Stop interrupts the
// driver's wait with a signal of the watch's own, since nothing else ends it
// short of a change.
class ModemWatch {
public:
    static constexpr int kPollMs = 50;

    ModemWatch() = default;
    ~ModemWatch() { Stop(); }

    ModemWatch(const ModemWatch&) = delete;
    ModemWatch& operator=(const ModemWatch&) = delete;

    // Stops a watch still running, then watches line; both line and listener
    // must outlive the watch until Stop. The listener hears the inputs at once.
    void Start(SerialLine& line, ModemListener& listener, int pollMs = kPollMs);
    // Returns once the thread no longer touches the line.
    void Stop();

private:
    void Run(SerialLine& line, ModemListener& listener, int pollMs);
    // Waits pollMs unless Stop comes first; false once stopping.
    bool Pause(int pollMs);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_ended{false};
};
