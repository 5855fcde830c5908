#pragma once

#include "serial/CComPort.h"
#include "serial/CFIFO.h"
#include "xrate/CXrate.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// The receive pump of the view: the reader thread that reads the port into
// the byte ring, and OnReceive, which takes the bytes out on the
// user-interface thread.
//
// State:
// - run flag: set by StartReceiveThread, cleared by StopReceiveThread; the
//   reader loops while it is set. Every wait of the reader (the start-up wait,
//   the idle and retry steps) ends at once when it is cleared, and
//   StopReceiveThread joins the thread, so the view may go at any time, also
//   within the start-up wait.
// - overflow-reported flag: set as the "Receive buffer overflowed" box
//   opens, so that overflows seen under the open box add no further box;
//   never cleared.
// - notice-pending flag: set by the reader when it gives a data-arrived
//   notice, cleared by OnReceive before it drains the ring. The reader gives
//   a notice only when none is pending, so a fast line does not flood the
//   event queue; bytes stored after the clear bring a notice of their own.
// The port and the ring belong to the view and must outlive the pump: the
// view declares them before it, so the pump (and its thread) ends first, and
// the port is closed only after StopReceiveThread has returned. Joining the
// thread makes a fixed wait before closing the port unnecessary.
//
// The reader calls dataArrived(n) after storing the n bytes of a read (when no
// notice is pending) and lineNotify() when the port hung up and then about
// once a lineCheckMs while it stays lost or its open is under way (or as
// often as the port asks, for a line that paces its own retries), and when a
// read finds a note of the line waiting to be shown. Both run on
// the reader thread: the view turns them into posted events and answers with
// OnReceive and CComPort::CheckLine.

struct PumpTimings {
    int startWaitMs = 2000;  // before the first read
    int idleWaitMs = 100;    // a pass without a port
    int retryWaitMs = 10;    // after a read that brought nothing
    int lineCheckMs = 1000;  // between reopen attempts while the port is lost
};

class CReceivePump {
public:
    using DataArrived = std::function<void(int count)>;
    using LineNotify = std::function<void()>;
    using Consumer = std::function<void(const unsigned char* bytes, int count)>;

    // owner is the view; it owns the overflow message box.
    CReceivePump(void* owner, CComPort& port, CFIFO& ring, PumpTimings timings = {});
    ~CReceivePump();  // StopReceiveThread

    CReceivePump(const CReceivePump&) = delete;
    CReceivePump& operator=(const CReceivePump&) = delete;

    // User-interface thread. Starts the reader; a second start while it runs does nothing.
    void StartReceiveThread(DataArrived dataArrived, LineNotify lineNotify);

    // User-interface thread. Clears the run flag and returns once the reader
    // has ended (at most one read, the read time-outs, later).
    void StopReceiveThread();

    // User-interface thread: the port has a line again (a lost one came
    // back); the reader ends the wait it is in and reads at once.
    void Wake();

    // User-interface thread, for each data-arrived notice: takes the ring's
    // bytes in chunks of up to 512 until it is empty, terminates each with a
    // zero byte and hands it to consumer (ShowReceived; at least once per
    // notice, with an empty chunk when the ring was empty), then shows
    // "Receive buffer overflowed" the first time an overflow is seen. A
    // notice that comes in while the consumer runs (under a box it shows) is
    // handled once it has returned. Returns 0.
    int OnReceive(const Consumer& consumer);

private:
    void ReceiveThread();
    bool WaitWhileRunning(int ms);  // false once the run flag is cleared

    void* m_owner;
    CComPort& m_port;
    CFIFO& m_ring;
    PumpTimings m_timings;
    DataArrived m_dataArrived;
    LineNotify m_lineNotify;

    std::atomic<std::int32_t> m_run{0};
    std::atomic<bool> m_noticePending{false};
    std::mutex m_waitMutex;
    std::condition_variable m_wake;
    bool m_woken = false;  // guarded by m_waitMutex
    std::thread m_thread;

    std::int32_t m_overflowReported = 0;
    bool m_inConsumer = false;
    int m_deferredNotices = 0;  // notices that came in while the consumer ran
    unsigned char m_chunk[kMaxChunk + 1] = {};
};
