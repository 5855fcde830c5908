#include "session/LineSignalRunner.h"

#include "xrate/MessageBox.h"

LineSignalRunner::LineSignalRunner(CComPort& port, void* owner, QObject* parent)
    : QObject(parent), m_port(port), m_owner(owner)
{
    m_pause.setSingleShot(true);
    // A coarse timer may end a pause up to 5% early; a reset pulse must last its time.
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, &LineSignalRunner::RunSteps);
}

LineSignalRunner::~LineSignalRunner()
{
    if (m_breakOn)
        m_port.ComBreak(false);
}

bool LineSignalRunner::Break(int ms, Done done)
{
    return Start({{Step::kBreakOn, LineSignal::kDtr, true, 0},
                  {Step::kPause, LineSignal::kDtr, false, ms},
                  {Step::kBreakOff, LineSignal::kDtr, false, 0}},
                 std::move(done));
}

bool LineSignalRunner::Pulse(const std::vector<SignalStep>& steps, Done done)
{
    // Without a line the levels would only become the wanted ones for the next open.
    if (!m_running && !m_port.HasHandle()) {
        ShowMessageBox(m_owner, "Cannot pulse reset", "Tamsel::ComSignal", kMbOk, "no port is open");
        if (done)
            done();
        return true;
    }
    std::vector<Step> run;
    for (const SignalStep& step : steps) {
        if (step.pauseMs >= 0)
            run.push_back({Step::kPause, step.signal, false, step.pauseMs});
        else
            run.push_back({Step::kSignal, step.signal, step.on, 0});
    }
    return Start(std::move(run), std::move(done));
}

bool LineSignalRunner::Start(std::vector<Step> steps, Done done)
{
    if (m_running)
        return false;
    m_running = true;
    m_steps = std::move(steps);
    m_next = 0;
    m_done = std::move(done);
    RunSteps();
    return true;
}

void LineSignalRunner::RunSteps()
{
    while (m_next < m_steps.size()) {
        const Step& step = m_steps[m_next++];
        int result = 0;
        switch (step.kind) {
        case Step::kPause:
            m_pause.start(step.pauseMs);
            return;
        case Step::kSignal:
            result = m_port.SetSignal(step.signal, step.on);
            break;
        case Step::kBreakOn:
            result = m_port.ComBreak(true);
            m_breakOn = result == 0;
            break;
        case Step::kBreakOff:
            m_port.ComBreak(false);
            m_breakOn = false;
            break;
        }
        if (result != 0)
            break;
    }
    Finish();
}

void LineSignalRunner::Finish()
{
    m_steps.clear();
    m_running = false;
    if (Done done = std::move(m_done))
        done();
}
