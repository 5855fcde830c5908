#include "TamselProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

TamselProcess::TamselProcess(const std::vector<std::string>& arguments)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> words{TAMSEL_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    m_input = in[1];
    m_outputPipe = out[0];
    m_errorPipe = err[0];
    // The test may stop writing before the child reads; a gone child must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
}

TamselProcess::~TamselProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    CloseFd(m_input);
    CloseFd(m_outputPipe);
    CloseFd(m_errorPipe);
}

void TamselProcess::Write(const std::string& input)
{
    std::size_t done = 0;
    while (m_input >= 0 && done < input.size()) {
        const ssize_t written = write(m_input, input.data() + done, input.size() - done);
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

void TamselProcess::CloseInput()
{
    CloseFd(m_input);
}

void TamselProcess::CloseOutput()
{
    CloseFd(m_outputPipe);
}

bool TamselProcess::Collect(int timeoutMs)
{
    pollfd fds[2] = {{m_outputPipe, POLLIN, 0}, {m_errorPipe, POLLIN, 0}};
    if (m_outputPipe < 0 && m_errorPipe < 0)
        return false;
    if (poll(fds, 2, timeoutMs) <= 0)
        return true;
    int* pipes[2] = {&m_outputPipe, &m_errorPipe};
    std::string* texts[2] = {&m_output, &m_errors};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0)
            continue;
        char buffer[4096];
        const ssize_t got = read(*pipes[i], buffer, sizeof buffer);
        if (got > 0)
            texts[i]->append(buffer, static_cast<std::size_t>(got));
        else
            CloseFd(*pipes[i]);
    }
    return true;
}

bool TamselProcess::WaitForOutput(const std::string& text, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_output.find(text) == std::string::npos) {
        if (MsLeft(deadline) == 0 || !Collect(MsLeft(deadline)))
            return m_output.find(text) != std::string::npos;
    }
    return true;
}

int TamselProcess::Wait(int timeoutMs, bool closeInput)
{
    if (closeInput)
        CloseInput();
    if (m_pid <= 0)
        return -1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (MsLeft(deadline) > 0 && Collect(MsLeft(deadline))) {
    }
    int status = 0;
    pid_t ended = waitpid(m_pid, &status, WNOHANG);
    while (ended == 0 && MsLeft(deadline) > 0) {
        usleep(10000);
        ended = waitpid(m_pid, &status, WNOHANG);
    }
    if (ended == 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return -1;
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TamselRun RunTamsel(const std::vector<std::string>& arguments, const std::string& input)
{
    TamselProcess tamsel(arguments);
    tamsel.Write(input);
    const int status = tamsel.Wait();
    return {status, tamsel.Output(), tamsel.Errors()};
}

void TamselProcess::Signal(int number)
{
    if (m_pid > 0)
        kill(m_pid, number);
}
