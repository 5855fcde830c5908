#include "bench/rig/RigOptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: pty_rig [options] -- RECEIVER-COMMAND... ({pty} stands for the line's path)\n"
    "  --label NAME          name of the receiver in the results\n"
    "  --test ceiling|rate|cpu|latency\n"
    "                        ceiling: highest rate received with nothing lost (doubling, then bisecting)\n"
    "                        rate: --trials runs at --rate, counting those with nothing lost\n"
    "                        cpu: one run at --rate: CPU time, start-up time, peak RSS\n"
    "                        latency: --samples single bytes, write to output\n"
    "  --traffic raw|ov11    records the line carries (default raw)\n"
    "  --expect same|ov11|none  what the receiver's output must be (default same)\n"
    "  --rate B/S  --seconds S  --trials N  --start B/S  --max B/S  --steps N\n"
    "  --samples N  --gap MIN_MS,MAX_MS  --tick US  --quiet MS  --ready-timeout MS\n"
    "  --grace MS            wait this long for the receiver to end after its input closes\n"
    "  --fail-stderr TEXT    the receiver lost bytes if it writes TEXT to standard error\n"
    "  --fail-if COMMAND     the receiver lost bytes if COMMAND (sh) succeeds after the feed\n"
    "  --watch PID           cpu test: also the CPU time of this process (the X server)\n";

bool Number(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0.0;
}

bool Integer(const char* text, int& value)
{
    double number = 0.0;
    if (!Number(text, number) || number > 1e9 || number != static_cast<int>(number))
        return false;
    value = static_cast<int>(number);
    return true;
}

bool Fail(const char* what, const char* value)
{
    std::fprintf(stderr, "pty_rig: bad %s '%s'\n%s", what, value, kUsage);
    return false;
}

} // namespace

bool ParseRigOptions(int argc, char** argv, RigOptions& options)
{
    RigSetup& setup = options.setup;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const char* name = argv[i];
        if (i + 1 >= argc || std::strcmp(argv[i + 1], "--") == 0)
            return Fail("option (no value)", name);
        const char* value = argv[++i];
        const auto is = [name](const char* option) { return std::strcmp(name, option) == 0; };
        bool ok = true;
        if (is("--label")) {
            options.label = value;
        } else if (is("--test")) {
            if (std::strcmp(value, "ceiling") == 0)
                options.test = RigTest::kCeiling;
            else if (std::strcmp(value, "rate") == 0)
                options.test = RigTest::kRate;
            else if (std::strcmp(value, "cpu") == 0)
                options.test = RigTest::kCpu;
            else if (std::strcmp(value, "latency") == 0)
                options.test = RigTest::kLatency;
            else
                ok = false;
        } else if (is("--traffic")) {
            ok = std::strcmp(value, "raw") == 0 || std::strcmp(value, "ov11") == 0;
            setup.traffic = Traffic(std::strcmp(value, "raw") == 0 ? TrafficKind::kRaw : TrafficKind::kOv11);
        } else if (is("--expect")) {
            if (std::strcmp(value, "same") == 0)
                setup.expect = Expect::kSame;
            else if (std::strcmp(value, "ov11") == 0)
                setup.expect = Expect::kOv11Text;
            else if (std::strcmp(value, "none") == 0)
                setup.expect = Expect::kNone;
            else
                ok = false;
        } else if (is("--rate")) {
            ok = Number(value, options.rate) && options.rate > 0.0;
        } else if (is("--seconds")) {
            ok = Number(value, options.seconds) && options.seconds > 0.0;
        } else if (is("--trials")) {
            ok = Integer(value, options.trials) && options.trials > 0;
        } else if (is("--start")) {
            ok = Number(value, options.startRate) && options.startRate > 0.0;
        } else if (is("--max")) {
            ok = Number(value, options.maxRate) && options.maxRate > 0.0;
        } else if (is("--steps")) {
            ok = Integer(value, options.refineSteps);
        } else if (is("--samples")) {
            ok = Integer(value, options.samples) && options.samples > 0;
        } else if (is("--gap")) {
            ok = std::sscanf(value, "%d,%d", &options.gapMinMs, &options.gapMaxMs) == 2 &&
                 options.gapMinMs > 0 && options.gapMinMs <= options.gapMaxMs;
        } else if (is("--tick")) {
            ok = Integer(value, setup.tickUs) && setup.tickUs > 0;
        } else if (is("--quiet")) {
            ok = Integer(value, setup.quietMs) && setup.quietMs > 0;
        } else if (is("--grace")) {
            ok = Integer(value, setup.graceMs);
        } else if (is("--ready-timeout")) {
            ok = Integer(value, setup.readyTimeoutMs) && setup.readyTimeoutMs > 0;
        } else if (is("--watch")) {
            ok = Integer(value, setup.watchPid) && setup.watchPid > 0;
        } else if (is("--fail-stderr")) {
            setup.failStderr = value;
        } else if (is("--fail-if")) {
            setup.failIf = value;
        } else {
            std::fprintf(stderr, "pty_rig: unknown option '%s'\n%s", name, kUsage);
            return false;
        }
        if (!ok)
            return Fail(name, value);
    }
    for (++i; i < argc; ++i)
        setup.command.push_back(argv[i]);
    if (setup.command.empty()) {
        std::fprintf(stderr, "pty_rig: no receiver command after --\n%s", kUsage);
        return false;
    }
    return true;
}
