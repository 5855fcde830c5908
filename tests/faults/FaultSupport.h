#pragma once

#include "view/CChildView.h"
#include "xrate/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <stdlib.h>
#include <time.h>

// Runs the event loop for ms milliseconds, sleeping while nothing happens, so
// that the process's own CPU time tells whether the program spins.
inline void RunEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds or timeoutMs has passed; returns done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        RunEventLoopFor(5);
    }
    return true;
}

// CPU time of the whole process, all threads, in milliseconds.
inline double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The waits of the line that decide nothing these tests check, shortened.
inline LineTimings QuickLineTimings()
{
    LineTimings timings;
    timings.port.closeWaitMs = 0;
    timings.pump.startWaitMs = 0;
    timings.pump.idleWaitMs = 5;
    timings.pump.retryWaitMs = 1;
    return timings;
}

// A folder of its own under /tmp, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        char name[] = "/tmp/tamsel-faults-XXXXXX";
        if (mkdtemp(name) != nullptr)
            m_path = name;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Records every box like MessageBoxRecorder, but keeps each one open for
// openMs while the event loop runs, as a modal box does until the user
// answers it: what the program does under an open box is part of the test.
class ModalBoxRecorder {
public:
    explicit ModalBoxRecorder(int openMs)
        : m_previous(SetMessageBoxHandler([this, openMs](const MessageBoxCall& call) {
              calls.push_back(call);
              ++m_open;
              deepest = std::max(deepest, m_open);
              RunEventLoopFor(openMs);
              --m_open;
              return kIdOk;
          }))
    {
    }
    ~ModalBoxRecorder() { SetMessageBoxHandler(std::move(m_previous)); }

    ModalBoxRecorder(const ModalBoxRecorder&) = delete;
    ModalBoxRecorder& operator=(const ModalBoxRecorder&) = delete;

    std::vector<MessageBoxCall> calls;
    int deepest = 0;  // most boxes open at one time

private:
    MessageBoxHandler m_previous;
    int m_open = 0;
};
