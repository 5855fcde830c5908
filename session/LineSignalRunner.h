#pragma once

#include "serial/CComPort.h"
#include "serial/SignalSequence.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

// Timed line signals on the port, run from the event loop so that received
// data keeps being shown meanwhile: a break of some milliseconds and a reset
// sequence (SignalSequence.h). One runs at a time; a new request while one
// runs is turned down (false), so that two sequences never interleave.
//
// State: the steps left of the running sequence (a break is the two steps
// "break on", pause, "break off"), the callback for its end, and the pause
// timer. A reset with no port open says so and does nothing; a step that fails has shown its box (the port does that) and ends
// the sequence there; a break that could not begin ends at once.
class LineSignalRunner : public QObject {
public:
    // owner owns the message boxes, as for the port's own.
    LineSignalRunner(CComPort& port, void* owner, QObject* parent = nullptr);
    // Ends a break still on.
    ~LineSignalRunner() override;

    using Done = std::function<void()>;
    // done runs when the sequence has ended, also when it ended early.
    bool Break(int ms, Done done = {});
    bool Pulse(const std::vector<SignalStep>& steps, Done done = {});
    bool Running() const { return m_running; }

private:
    struct Step {
        enum Kind { kSignal, kBreakOn, kBreakOff, kPause } kind;
        LineSignal signal;
        bool on;
        int pauseMs;
    };
    bool Start(std::vector<Step> steps, Done done);
    void RunSteps();
    void Finish();

    CComPort& m_port;
    void* m_owner;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_running = false;
    bool m_breakOn = false;  // a break begun and not yet ended
    Done m_done;
    QTimer m_pause;
};
