// The end-to-end rig: drives a receiver (a terminal program, or Tamsel
// headless or with its window shown) over a pseudo-terminal fed like a UART
// without flow control, and prints one RESULT line per test (and a TRIAL line
// per run), as key=value fields that bench/run.sh gathers into its table.
//
//   pty_rig --label picocom --test ceiling -- picocom -q -n -b 115200 {pty}

#include "bench/rig/RigOptions.h"
#include "bench/rig/Trial.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

const char* TrafficName(const RigSetup& setup)
{
    return setup.traffic.Kind() == TrafficKind::kRaw ? "raw" : "ov11";
}

double Achieved(const TrialResult& trial)
{
    return trial.feed.seconds > 0.0 ? static_cast<double>(trial.feed.written) / trial.feed.seconds : 0.0;
}

TrialResult Trial(const RigOptions& options, double rate)
{
    const TrialResult trial = RunRateTrial(options.setup, rate, options.seconds);
    std::printf("TRIAL label=%s traffic=%s rate_MiBps=%.3f achieved_MiBps=%.3f result=%s "
                "late_ticks=%lld realtime_source=%d startup_ms=%.0f why=\"%s\"\n",
                options.label.c_str(), TrafficName(options.setup), rate / kMiB,
                Achieved(trial) / kMiB, trial.Passed() ? "pass" : "fail", trial.feed.lateTicks,
                trial.realtimeSource ? 1 : 0, trial.startupMs, trial.failure.c_str());
    std::fflush(stdout);
    return trial;
}

// Doubles the rate from the start until something is lost, then halves the
// interval between the last clean rate and the first lossy one.
void Ceiling(const RigOptions& options)
{
    double clean = 0.0;
    double cleanAchieved = 0.0;
    double lossy = 0.0;
    for (double rate = options.startRate; rate <= options.maxRate; rate *= 2.0) {
        const TrialResult trial = Trial(options, rate);
        if (!trial.Passed()) {
            lossy = rate;
            break;
        }
        clean = rate;
        cleanAchieved = Achieved(trial);
    }
    // Lossy from the first rate: look below it, a few halvings deep.
    for (int step = 0; clean == 0.0 && lossy > 0.0 && step < 3; ++step) {
        const double rate = lossy / 2.0;
        const TrialResult trial = Trial(options, rate);
        if (trial.Passed()) {
            clean = rate;
            cleanAchieved = Achieved(trial);
        } else {
            lossy = rate;
        }
    }
    for (int step = 0; clean > 0.0 && lossy > 0.0 && step < options.refineSteps; ++step) {
        const double rate = std::sqrt(clean * lossy);
        const TrialResult trial = Trial(options, rate);
        if (trial.Passed()) {
            clean = rate;
            cleanAchieved = Achieved(trial);
        } else {
            lossy = rate;
        }
    }
    std::printf("RESULT label=%s test=ceiling traffic=%s ceiling_MiBps=%.3f achieved_MiBps=%.3f "
                "first_lossy_MiBps=%.3f\n",
                options.label.c_str(), TrafficName(options.setup), clean / kMiB,
                cleanAchieved / kMiB, lossy / kMiB);
}

void Rate(const RigOptions& options)
{
    int passed = 0;
    for (int i = 0; i < options.trials; ++i)
        passed += Trial(options, options.rate).Passed() ? 1 : 0;
    std::printf("RESULT label=%s test=rate traffic=%s rate_MiBps=%.3f passed=%d trials=%d\n",
                options.label.c_str(), TrafficName(options.setup), options.rate / kMiB, passed,
                options.trials);
}

void Cpu(const RigOptions& options)
{
    const TrialResult trial = Trial(options, options.rate);
    const double mib = static_cast<double>(trial.feed.written) / kMiB;
    std::printf("RESULT label=%s test=cpu traffic=%s rate_Bps=%.0f lossless=%d cpu_s=%.4f "
                "core_percent=%.3f cpu_s_per_MiB=%.4f startup_ms=%.1f peak_rss_KiB=%ld "
                "watched_core_percent=%.3f\n",
                options.label.c_str(), TrafficName(options.setup), options.rate,
                trial.Passed() ? 1 : 0, trial.cpuSeconds,
                trial.feed.seconds > 0.0 ? 100.0 * trial.cpuSeconds / trial.feed.seconds : 0.0,
                mib > 0.0 ? trial.cpuSeconds / mib : 0.0, trial.startupMs, trial.peakRssKiB,
                trial.feed.seconds > 0.0 ? 100.0 * trial.watchedCpuSeconds / trial.feed.seconds : 0.0);
}

double Percentile(const std::vector<double>& sorted, double fraction)
{
    const auto at = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::min(sorted.size() - 1, at == 0 ? 0 : at - 1)];
}

void Latency(const RigOptions& options)
{
    LatencyResult latency = RunLatencyTrial(options.setup, options.samples, options.gapMinMs, options.gapMaxMs);
    if (!latency.failure.empty() || latency.milliseconds.empty()) {
        std::printf("RESULT label=%s test=latency failed=1 why=\"%s\"\n", options.label.c_str(),
                    latency.failure.c_str());
        return;
    }
    std::vector<double>& ms = latency.milliseconds;
    std::sort(ms.begin(), ms.end());
    std::printf("RESULT label=%s test=latency samples=%zu median_ms=%.2f p99_ms=%.2f min_ms=%.2f "
                "max_ms=%.2f\n",
                options.label.c_str(), ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.99),
                ms.front(), ms.back());
}

} // namespace

int main(int argc, char** argv)
{
    RigOptions options;
    if (!ParseRigOptions(argc, argv, options))
        return 2;
    if (!options.setup.traffic.AgreesWithEncoder()) {
        std::fprintf(stderr, "pty_rig: the Orvane records no longer match the encoder\n");
        return 1;
    }
    switch (options.test) {
    case RigTest::kCeiling:
        Ceiling(options);
        break;
    case RigTest::kRate:
        Rate(options);
        break;
    case RigTest::kCpu:
        Cpu(options);
        break;
    case RigTest::kLatency:
        Latency(options);
        break;
    }
    return 0;
}
