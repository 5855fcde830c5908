#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

using RigClock = std::chrono::steady_clock;

// One run of the receiver under test: the command is started with its
// standard input a pipe that the rig holds open (so it runs until Finish
// closes it) and its standard output and error captured by a thread of the
// rig, which must drain them at once so that a fast receiver never waits on
// the rig.
//
// State: standard output is counted from the start; it is kept, with the time
// each read brought it, only between StartKeeping and TakeKept, so that the
// start-up chatter and the readiness probes are not part of a trial's output.
// Standard error is always kept.
class Receiver {
public:
    explicit Receiver(const std::vector<std::string>& argv);
    ~Receiver();  // ends a receiver that is still running
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool Started() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }
    RigClock::time_point StartTime() const { return m_start; }

    long long OutputCount() const;
    RigClock::time_point LastOutputTime() const;
    std::string Errors() const;
    bool Exited() const;  // the receiver closed its output (it ended or is ending)

    struct Arrival {
        long long end;  // offset, within the kept output, just past the bytes of one read
        RigClock::time_point when;
    };
    void StartKeeping();
    long long KeptCount() const;
    std::string KeptHead(std::size_t count) const;  // the first count bytes kept so far
    std::string KeptFrom(std::size_t offset) const;  // what was kept from offset on
    std::string TakeKept(std::vector<Arrival>* arrivals = nullptr);

    // Closes standard input, waits up to graceMs for the receiver to end, then
    // terminates it. Returns the exit status as waitpid gives it.
    int Finish(int graceMs);

private:
    void Capture(int outFd, int errFd);

    pid_t m_pid = -1;
    int m_input = -1;
    RigClock::time_point m_start;
    std::thread m_capture;

    mutable std::mutex m_mutex;
    long long m_outputCount = 0;
    RigClock::time_point m_lastOutput;
    bool m_keeping = false;
    bool m_closed = false;
    std::string m_kept;
    std::vector<Arrival> m_arrivals;
    std::string m_errors;
    bool m_reaped = false;
    int m_status = 0;
};
