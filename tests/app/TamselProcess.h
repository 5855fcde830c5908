#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The tamsel program run as a child process with pipes on its three standard
// streams, for tests of whole headless runs. Output is collected while the
// test waits, so the child never blocks on a full pipe.
class TamselProcess {
public:
    // Starts the program built beside the tests with these arguments.
    explicit TamselProcess(const std::vector<std::string>& arguments);
    ~TamselProcess();  // kills the child if it still runs

    TamselProcess(const TamselProcess&) = delete;
    TamselProcess& operator=(const TamselProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    void Write(const std::string& input);
    void CloseInput();
    void Signal(int number);
    // Closes the read end of the child's standard output: its next write fails.
    void CloseOutput();

    // Collects output until standard output holds text; false after timeoutMs.
    bool WaitForOutput(const std::string& text, int timeoutMs = 10000);

    // Closes input (unless told not to), collects output until the child ends
    // and returns its exit status; -1 when it had to be killed after
    // timeoutMs or died by a signal.
    int Wait(int timeoutMs = 20000, bool closeInput = true);

    const std::string& Output() const { return m_output; }
    const std::string& Errors() const { return m_errors; }

private:
    // Reads what the child wrote within timeoutMs; false once both pipes are closed.
    bool Collect(int timeoutMs);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_outputPipe = -1;
    int m_errorPipe = -1;
    std::string m_output;
    std::string m_errors;
};

// A whole run: input written and closed at once; the exit status and both outputs.
struct TamselRun {
    int status;
    std::string output;
    std::string errors;
};
TamselRun RunTamsel(const std::vector<std::string>& arguments, const std::string& input);
