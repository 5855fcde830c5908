#include "serial/CReceivePump.h"

#include "xrate/MessageBox.h"

#include <algorithm>
#include <chrono>

CReceivePump::CReceivePump(void* owner, CComPort& port, CFIFO& ring, PumpTimings timings)
    : m_owner(owner), m_port(port), m_ring(ring), m_timings(timings)
{
}

CReceivePump::~CReceivePump()
{
    StopReceiveThread();
}

void CReceivePump::StartReceiveThread(DataArrived dataArrived, LineNotify lineNotify)
{
    if (m_thread.joinable())
        return;
    m_dataArrived = std::move(dataArrived);
    m_lineNotify = std::move(lineNotify);
    m_run.store(1);
    m_thread = std::thread(&CReceivePump::ReceiveThread, this);
}

void CReceivePump::StopReceiveThread()
{
    {
        std::lock_guard<std::mutex> lock(m_waitMutex);
        m_run.store(0);
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CReceivePump::Wake()
{
    {
        std::lock_guard<std::mutex> lock(m_waitMutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

bool CReceivePump::WaitWhileRunning(int ms)
{
    std::unique_lock<std::mutex> lock(m_waitMutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_run.load() == 0 || m_woken; });
    m_woken = false;
    return m_run.load() != 0;
}

void CReceivePump::ReceiveThread()
{
    using Clock = std::chrono::steady_clock;
    // A line kind may pace its retries itself (a server backs off).
    const auto lineCheck = [this] {
        const int portMs = m_port.LineCheckDelayMs();
        return std::chrono::milliseconds(portMs > 0 ? portMs : m_timings.lineCheckMs);
    };
    // Larger than a chunk: on a fast line one read takes what a tick of the
    // device delivered, in one wake-up and one notice. OnReceive still hands
    // the converters chunks of at most kMaxChunk. A read never takes more than
    // a quarter of the ring, so a small ring keeps chunk-sized reads instead
    // of overflowing at the first burst.
    constexpr std::uint32_t kReadSize = 8192;
    unsigned char buffer[kReadSize];
    const int readSize =
        static_cast<int>(std::clamp(m_ring.Size() / 4, std::uint32_t{kMaxChunk}, kReadSize));
    Clock::time_point nextLineCheck = Clock::now();

    if (!WaitWhileRunning(m_timings.startWaitMs))
        return;
    while (m_run.load() != 0) {
        const ReadResult got = m_port.ReadPort(buffer, readSize);
        if (got.noted && m_lineNotify)
            m_lineNotify();
        switch (got.status) {
        case ReadStatus::kData:
            m_ring.Put(buffer, got.count);
            // The exchange publishes the stored bytes to the OnReceive that clears the flag.
            if (!m_noticePending.exchange(true, std::memory_order_acq_rel) && m_dataArrived)
                m_dataArrived(got.count);
            break;
        case ReadStatus::kNothing:
            WaitWhileRunning(m_timings.retryWaitMs);
            break;
        case ReadStatus::kHungUp:
            // The port stops handing out the dead handle, so the next pass idles.
            if (m_lineNotify)
                m_lineNotify();
            nextLineCheck = Clock::now() + lineCheck();
            break;
        case ReadStatus::kNoPort:
            if (m_port.AwaitsLine() && Clock::now() >= nextLineCheck) {
                if (m_lineNotify)
                    m_lineNotify();
                nextLineCheck = Clock::now() + lineCheck();
            }
            WaitWhileRunning(m_timings.idleWaitMs);
            break;
        }
    }
}

int CReceivePump::OnReceive(const Consumer& consumer)
{
    // A consumer that shows a box runs a nested event loop, which may deliver
    // the next notice here while the chunk is still being converted; taking
    // bytes then would overwrite the chunk and re-enter the converter. The
    // outer call takes those bytes once the consumer has returned.
    if (m_inConsumer) {
        ++m_deferredNotices;
        return 0;
    }
    int overflowed = 0;
    m_deferredNotices = 1;
    while (m_deferredNotices > 0) {
        --m_deferredNotices;
        // Cleared before draining: bytes stored from here on either are taken
        // below or bring a new notice.
        m_noticePending.exchange(false, std::memory_order_acq_rel);
        bool first = true;
        int count = 0;
        do {
            overflowed |= m_ring.IsOverflowed();
            count = m_ring.Get(m_chunk, kMaxChunk);
            if (count == 0 && !first)
                break;
            first = false;
            m_chunk[count] = 0;
            if (consumer) {
                m_inConsumer = true;
                consumer(m_chunk, count);
                m_inConsumer = false;
            }
        } while (count == kMaxChunk);
    }

    if (m_overflowReported == 0 && overflowed != 0) {
        // Set before the box: its nested loop goes on handling notices, and
        // on a line that keeps overflowing each would open another box on
        // top of it, without end.
        m_overflowReported = 1;
        ShowMessageBox(m_owner, "Receive buffer overflowed", "Tamsel::OnReceive", kMbOk);
    }
    return 0;
}
