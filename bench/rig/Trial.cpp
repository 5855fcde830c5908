#include "bench/rig/Trial.h"

#include "bench/rig/ProcessStats.h"
#include "support/PseudoTerminal.h"
#include "bench/rig/Receiver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include <unistd.h>

namespace {

using std::chrono::milliseconds;

// How long output that is still missing after the line has drained may stay
// silent before the rest counts as lost.
constexpr int kOutputPatienceMs = 2000;

double MsBetween(RigClock::time_point from, RigClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

std::vector<std::string> Substitute(const std::vector<std::string>& command, const std::string& path)
{
    std::vector<std::string> argv;
    for (std::string arg : command) {
        for (std::size_t at = arg.find("{pty}"); at != std::string::npos; at = arg.find("{pty}", at))
            arg.replace(at, 5, path);
        argv.push_back(arg);
    }
    return argv;
}

std::string FirstLine(const std::string& text)
{
    const std::size_t end = text.find_first_of("\r\n");
    return text.substr(0, std::min<std::size_t>(end, 160));
}

// A receiver on a fresh line, brought to the point where it reads the line
// and its own output has settled.
class Session {
public:
    explicit Session(const RigSetup& setup) : m_setup(setup)
    {
        if (!m_pty.IsOpen()) {
            m_failure = "cannot open a pseudo-terminal";
            return;
        }
        m_receiver = std::make_unique<Receiver>(Substitute(setup.command, m_pty.Path()));
        if (!m_receiver->Started()) {
            m_failure = "cannot start the receiver";
            return;
        }
        const RigClock::time_point deadline =
            m_receiver->StartTime() + milliseconds(setup.readyTimeoutMs);
        // Kept for now only to see the probes come out; kept afresh for the trial.
        m_receiver->StartKeeping();
        // The first probe may be written before the receiver opens the line and
        // be flushed by that open; the second is written after it and decides
        // when the receiver reads. The first may be given up on early: a wrong
        // guess there only means the second probe waits in the queue.
        RigClock::time_point taken;
        for (int probe = 0; probe < 2; ++probe) {
            if (!ProbeTaken(deadline, milliseconds(probe == 0 ? 20 : 200), &taken)) {
                m_failure = Exited() ? "receiver ended: " + FirstLine(m_receiver->Errors())
                                     : "receiver never read the line";
                return;
            }
        }
        m_startupMs = MsBetween(m_receiver->StartTime(), taken);
        if (!WaitDrained(taken, deadline + milliseconds(5000)))
            m_failure = "receiver output never settled after start-up";
        else
            m_receiver->StartKeeping();
    }

    const std::string& Failure() const { return m_failure; }
    double StartupMs() const { return m_startupMs; }
    int Master() const { return m_pty.Master(); }
    Receiver& Rx() { return *m_receiver; }

    // Waits until the line holds nothing unread and no output came for the
    // quiet time; false when that does not happen by the deadline.
    bool WaitDrained(RigClock::time_point since, RigClock::time_point deadline)
    {
        while (RigClock::now() < deadline) {
            const RigClock::time_point now = RigClock::now();
            const RigClock::time_point last = std::max(since, m_receiver->LastOutputTime());
            if (m_pty.Pending() == 0 && now - last >= milliseconds(m_setup.quietMs))
                return true;
            if (m_pty.Pending() == 0 && Exited())
                return true;
            std::this_thread::sleep_for(milliseconds(5));
        }
        return false;
    }

    bool Exited() const { return m_receiver->Exited(); }

    // Output still on its way (a receiver descheduled on a busy machine)
    // is waited for: until the kept output, past any late probe echoes, is
    // expected bytes long, or no output has come for patienceMs.
    void WaitForOutput(long long expected, int patienceMs)
    {
        const std::string probe = ProbeOutput(m_setup.expect, m_setup.traffic);
        for (;;) {
            const long long echoes = static_cast<long long>(
                ProbeEchoLength(m_receiver->KeptHead(64 * probe.size()), probe));
            if (m_receiver->KeptCount() >= expected + echoes || Exited())
                return;
            if (RigClock::now() - m_receiver->LastOutputTime() > milliseconds(patienceMs))
                return;
            std::this_thread::sleep_for(milliseconds(5));
        }
    }

    // Whether the receiver reported a loss through its standard error or the
    // failIf command; call before Finish.
    std::string LossReported()
    {
        if (!m_setup.failIf.empty() && std::system(m_setup.failIf.c_str()) == 0)
            return "loss reported (" + m_setup.failIf + ")";
        return {};
    }

    std::string Finish()
    {
        m_receiver->Finish(m_setup.graceMs);
        const std::string errors = m_receiver->Errors();
        if (!m_setup.failStderr.empty() && errors.find(m_setup.failStderr) != std::string::npos)
            return "standard error: " + m_setup.failStderr;
        return {};
    }

private:
    bool ProbeTaken(RigClock::time_point deadline, milliseconds giveUp, RigClock::time_point* taken)
    {
        const std::string probe = m_setup.traffic.Probe();
        while (write(m_pty.Master(), probe.data(), probe.size()) != static_cast<ssize_t>(probe.size())) {
            if (RigClock::now() > deadline || Exited())
                return false;
            std::this_thread::sleep_for(milliseconds(5));
        }
        const RigClock::time_point written = RigClock::now();
        const auto keptBefore = static_cast<std::size_t>(m_receiver->KeptCount());
        const std::string shown = ProbeOutput(m_setup.expect, m_setup.traffic);
        // Bytes reach the slave's input queue a little after the write (a
        // kernel worker moves them, late on a busy machine), so a queue seen
        // empty does not yet mean they were read; the probe's own output
        // does, and so does a queue still empty giveUp after the write.
        // A probe never seen queued was taken by the first look that found
        // the queue empty.
        bool queued = false;
        RigClock::time_point firstEmpty{};
        while (RigClock::now() < deadline && !Exited()) {
            const bool pending = m_pty.Pending() > 0;
            const RigClock::time_point now = RigClock::now();
            if (pending) {
                queued = true;
            } else {
                if (firstEmpty == RigClock::time_point{})
                    firstEmpty = now;
                if (queued ||
                    (!shown.empty() && m_receiver->KeptFrom(keptBefore).find(shown) != std::string::npos)) {
                    *taken = now;
                    return true;
                }
                if (now - written > giveUp) {
                    *taken = firstEmpty;
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return false;
    }

    const RigSetup& m_setup;
    testsupport::PseudoTerminal m_pty;
    std::unique_ptr<Receiver> m_receiver;
    std::string m_failure;
    double m_startupMs = 0.0;
};

} // namespace

TrialResult RunRateTrial(const RigSetup& setup, double bytesPerSecond, double seconds)
{
    TrialResult result;
    Session session(setup);
    result.failure = session.Failure();
    if (!result.Passed())
        return result;
    result.startupMs = session.StartupMs();
    Receiver& receiver = session.Rx();

    const double cpuBefore = CpuSeconds(receiver.Pid());
    const double watchedBefore = setup.watchPid > 0 ? CpuSeconds(setup.watchPid) : 0.0;
    result.realtimeSource = TryRealtimePriority();
    result.feed = FeedAtRate(session.Master(), setup.traffic, bytesPerSecond, seconds, setup.tickUs);
    if (result.realtimeSource)
        DropRealtimePriority();
    const RigClock::time_point fed = RigClock::now();
    const bool drained = session.WaitDrained(fed, fed + milliseconds(10000 + static_cast<int>(seconds * 1000)));
    if (setup.expect != Expect::kNone)
        session.WaitForOutput(CheckOutput(setup.expect, setup.traffic, result.feed.records, "").expectedBytes,
                              kOutputPatienceMs);
    result.cpuSeconds = CpuSeconds(receiver.Pid()) - cpuBefore;
    if (setup.watchPid > 0)
        result.watchedCpuSeconds = CpuSeconds(setup.watchPid) - watchedBefore;
    result.peakRssKiB = PeakRssKiB(receiver.Pid());
    const std::string reported = session.LossReported();
    const std::string output = receiver.TakeKept();
    const std::string errorReport = session.Finish();

    if (setup.expect != Expect::kNone)
        result.output = CheckOutput(setup.expect, setup.traffic, result.feed.records, output);
    char text[200];
    if (result.feed.dropped > 0) {
        std::snprintf(text, sizeof text, "line refused %lld of %lld bytes", result.feed.dropped,
                      result.feed.dropped + result.feed.written);
        result.failure = text;
    } else if (!errorReport.empty()) {
        result.failure = errorReport;
    } else if (!reported.empty()) {
        result.failure = reported;
    } else if (!drained) {
        result.failure = "the line was not drained";
    } else if (!result.output.Intact()) {
        std::snprintf(text, sizeof text, "output matched %lld of %lld bytes, %lld extra",
                      result.output.matchedBytes, result.output.expectedBytes,
                      result.output.extraBytes);
        result.failure = text;
    }
    return result;
}

LatencyResult RunLatencyTrial(const RigSetup& setup, int samples, int gapMinMs, int gapMaxMs)
{
    LatencyResult result;
    Session session(setup);
    result.failure = session.Failure();
    if (!result.failure.empty())
        return result;
    Receiver& receiver = session.Rx();

    const bool realtime = TryRealtimePriority();
    const std::vector<RigClock::time_point> sent = FeedSingles(session.Master(), samples, gapMinMs, gapMaxMs);
    if (realtime)
        DropRealtimePriority();
    const RigClock::time_point fed = RigClock::now();
    session.WaitDrained(fed, fed + milliseconds(5000));
    session.WaitForOutput(samples, kOutputPatienceMs);
    std::vector<Receiver::Arrival> arrivals;
    const std::string output = receiver.TakeKept(&arrivals);
    result.failure = session.Finish();
    if (!result.failure.empty())
        return result;

    if (static_cast<int>(sent.size()) != samples) {
        result.failure = "the line refused a byte";
        return result;
    }
    // Every byte must come out as itself and in order, one byte of output per
    // byte sent, after any late echoes of the probes.
    const auto echoes = static_cast<long long>(
        ProbeEchoLength(output, ProbeOutput(setup.expect, setup.traffic)));
    std::string expected;
    for (int i = 0; i < samples; ++i)
        expected.push_back(static_cast<char>('a' + i % 26));
    if (output.compare(static_cast<std::size_t>(echoes), std::string::npos, expected) != 0) {
        result.failure = "output is not the bytes sent (" + std::to_string(output.size() - echoes) +
                         " of " + std::to_string(expected.size()) + " bytes)";
        return result;
    }
    std::size_t read = 0;
    for (int i = 0; i < samples; ++i) {
        while (arrivals[read].end <= echoes + i)
            ++read;
        result.milliseconds.push_back(MsBetween(sent[static_cast<std::size_t>(i)], arrivals[read].when));
    }
    return result;
}
