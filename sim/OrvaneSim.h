#pragma once

#include "sim/FaultInjector.h"
#include "sim/SimLine.h"
#include "sim/SimOptions.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <thread>

namespace sim {

class SimBus;

// A simulated Orvane bus on a pseudo-terminal, served by a thread of its own:
// orvane-sim runs one, and a program can start one inside itself and open the
// device it names.
//
// Start builds the bus (on the caller's thread, where the protocol converters
// expect to be made first), opens the line, places the link and starts the
// thread; Stop wakes the thread, joins it and takes the line and the link
// away. Between the two only the thread touches the bus and the write queue.
// Written pieces keep their order; a split packet's pauses hold back what
// follows it, not the reading of requests.
class OrvaneSim {
public:
    OrvaneSim();
    ~OrvaneSim();

    OrvaneSim(const OrvaneSim&) = delete;
    OrvaneSim& operator=(const OrvaneSim&) = delete;

    // 0, or -1 with a one-line message in error and nothing left running.
    int Start(const SimOptions& options, std::string& error);
    void Stop();
    bool Running() const { return m_thread.joinable(); }

    // The device a monitor opens, such as /dev/pts/7; empty when not running.
    const std::string& DevicePath() const { return m_line.Path(); }

private:
    void Run();
    // Hears everything the device has sent; false when the line reports a
    // hang-up or an error instead.
    bool ReadRequests();
    void Enqueue(std::vector<LinePiece>& pieces, int64_t nowMs);
    void Flush(int64_t nowMs);
    bool HeadReady(int64_t nowMs) const { return !m_queue.empty() && m_headDueMs <= nowMs; }
    void CloseWake();

    SimLine m_line;
    std::unique_ptr<SimBus> m_bus;
    int m_trafficMs = 0;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;

    std::deque<LinePiece> m_queue;
    std::size_t m_queuedBytes = 0;
    std::size_t m_headOffset = 0;   // bytes of the head piece already written
    int64_t m_headDueMs = 0;        // when the head piece may be written
};

} // namespace sim
