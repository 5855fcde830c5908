// Start-up time to a shown window: starts a command --runs times on the X
// display in DISPLAY (an Xvfb without a window manager) and times each run
// from the start to the mapping of its first top-level window and to the
// first drawing into that window (the window as the user first sees it); then
// reads the peak RSS a moment later and ends the program. {pty} in an argument stands
// for a fresh pseudo-terminal, so a terminal program finds a line to open.
//
//   window_probe --label tamsel --runs 5 -- tamsel COM5={pty}

#include "bench/rig/ProcessStats.h"
#include "support/PseudoTerminal.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string label = "program";
    int runs = 5;
    int settleMs = 1000;
    int timeoutMs = 20000;
    std::vector<std::string> command;
};

bool Parse(int argc, char** argv, Options& options)
{
    int i = 1;
    for (; i + 1 < argc && std::strcmp(argv[i], "--") != 0; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--label")
            options.label = value;
        else if (name == "--runs")
            options.runs = std::atoi(value);
        else if (name == "--settle")
            options.settleMs = std::atoi(value);
        else if (name == "--timeout")
            options.timeoutMs = std::atoi(value);
        else
            return false;
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0)
        return false;
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    return !options.command.empty() && options.runs > 0;
}

pid_t Start(const std::vector<std::string>& command, const std::string& pty)
{
    std::vector<std::string> args;
    for (std::string arg : command) {
        for (std::size_t at = arg.find("{pty}"); at != std::string::npos; at = arg.find("{pty}", at))
            arg.replace(at, 5, pty);
        args.push_back(arg);
    }
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "window_probe: cannot start %s\n", argv[0]);
        _exit(127);
    }
    return pid;
}

std::string WindowName(Display* display, Window window)
{
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) && name) {
        text = name;
        XFree(name);
    }
    return text;
}

struct Shown {
    double mappedMs = 0.0;
    double drawnMs = 0.0;
    std::string name;
};

// Waits for the first top-level window that is not override-redirect (a menu
// or tooltip) to be mapped and then drawn into. Every top-level window is
// watched for drawing from its creation, so a drawing that comes right after
// the mapping is not missed. False on time-out or when the program ended.
bool WaitUntilShown(Display* display, int damageEvent, pid_t pid, Clock::time_point start,
                    Clock::time_point deadline, Shown& shown)
{
    const Window root = DefaultRootWindow(display);
    const auto since = [start] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    Window mapped = 0;
    std::vector<Damage> damages;
    pollfd entry{ConnectionNumber(display), POLLIN, 0};
    bool done = false;
    while (!done && Clock::now() < deadline) {
        while (!done && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
                !event.xcreatewindow.override_redirect) {
                damages.push_back(XDamageCreate(display, event.xcreatewindow.window,
                                                XDamageReportNonEmpty));
            } else if (event.type == MapNotify && event.xmap.event == root &&
                       !event.xmap.override_redirect && mapped == 0) {
                mapped = event.xmap.window;
                shown.mappedMs = since();
                shown.name = WindowName(display, mapped);
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto* notice = reinterpret_cast<const XDamageNotifyEvent*>(&event);
                XDamageSubtract(display, notice->damage, None, None);
                if (mapped != 0 && notice->drawable == mapped) {
                    shown.drawnMs = since();
                    done = true;
                }
            }
        }
        if (!done) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                break;
            poll(&entry, 1, 2);
        }
    }
    for (Damage damage : damages)
        XDamageDestroy(display, damage);
    XSync(display, False);
    return done;
}

void End(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 400; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: window_probe [--label NAME] [--runs N] [--settle MS] "
                             "[--timeout MS] -- COMMAND... ({pty}: a fresh pseudo-terminal)\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window_probe: cannot open the X display\n");
        return 1;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "window_probe: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    std::vector<double> mapped;
    std::vector<double> drawn;
    std::vector<double> peaks;
    for (int run = 0; run < options.runs; ++run) {
        testsupport::PseudoTerminal pty;
        XSync(display, True);  // forget the windows of the run before
        const Clock::time_point start = Clock::now();
        const pid_t pid = Start(options.command, pty.Path());
        Shown shown;
        if (!WaitUntilShown(display, damageEvent, pid, start,
                            start + std::chrono::milliseconds(options.timeoutMs), shown)) {
            std::printf("TRIAL label=%s result=fail why=\"no window shown\"\n", options.label.c_str());
            End(pid);
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(options.settleMs));
        const long peak = PeakRssKiB(pid);
        End(pid);
        mapped.push_back(shown.mappedMs);
        drawn.push_back(shown.drawnMs);
        peaks.push_back(static_cast<double>(peak));
        std::printf("TRIAL label=%s result=pass mapped_ms=%.1f drawn_ms=%.1f peak_rss_KiB=%ld "
                    "window=\"%s\"\n",
                    options.label.c_str(), shown.mappedMs, shown.drawnMs, peak, shown.name.c_str());
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    if (drawn.empty()) {
        std::printf("RESULT label=%s test=window failed=1\n", options.label.c_str());
        return 1;
    }
    std::printf("RESULT label=%s test=window runs=%zu mapped_median_ms=%.1f drawn_median_ms=%.1f "
                "drawn_min_ms=%.1f drawn_max_ms=%.1f peak_rss_KiB=%.0f\n",
                options.label.c_str(), drawn.size(), Median(mapped), Median(drawn),
                *std::min_element(drawn.begin(), drawn.end()),
                *std::max_element(drawn.begin(), drawn.end()), Median(peaks));
    return 0;
}
