#pragma once

#include "serial/CComPort.h"
#include "serial/CReceivePump.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

// The test thread playing the user-interface thread: the pump's notices are
// queued as the view would post them, and Run dispatches them as the view's
// event handlers do (OnReceive for data, CheckLine for the line).
class UiLoop {
public:
    UiLoop(CComPort& port, CReceivePump& pump) : m_port(port), m_pump(pump) {}
    // The reader calls into this object, so it must end first.
    ~UiLoop() { m_pump.StopReceiveThread(); }

    UiLoop(const UiLoop&) = delete;
    UiLoop& operator=(const UiLoop&) = delete;

    CReceivePump::DataArrived DataNotice()
    {
        return [this](int) { Post(Event::kData); };
    }
    CReceivePump::LineNotify LineNotice()
    {
        return [this] { Post(Event::kLine); };
    }
    void Start() { m_pump.StartReceiveThread(DataNotice(), LineNotice()); }

    // Dispatches notices until done() holds or timeoutMs passes; returns done().
    bool Run(const std::function<bool()>& done, int timeoutMs)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            Event event;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_wake.wait_until(lock, end, [this] { return !m_events.empty(); }))
                    return done();
                event = m_events.front();
                m_events.pop_front();
            }
            if (event == Event::kData) {
                ++dataNotices;
                m_pump.OnReceive([this](const unsigned char* bytes, int count) {
                    chunkEndsWithZero = chunkEndsWithZero && bytes[count] == 0;
                    received.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
                });
            } else {
                ++lineNotices;
                m_port.CheckLine();
            }
        }
        return true;
    }

    // Dispatches whatever comes for ms milliseconds.
    void RunFor(int ms)
    {
        Run([] { return false; }, ms);
    }

    std::string received;
    bool chunkEndsWithZero = true;
    int dataNotices = 0;
    int lineNotices = 0;

private:
    enum class Event { kData, kLine };

    void Post(Event event)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(event);
        }
        m_wake.notify_one();
    }

    CComPort& m_port;
    CReceivePump& m_pump;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Event> m_events;
};
