#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace testsupport {

// A program the test starts and stops: its standard output comes back
// through a pipe, line by line; its standard error goes to a file.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // Stop
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::vector<std::string>& argv, const std::string& errorFile);
    // SIGTERM, then waits for it to end.
    void Stop();
    bool Running() const { return m_pid > 0; }
    // The next line of its output without the line end, or empty after timeoutMs.
    std::string ReadLine(int timeoutMs = 5000);

private:
    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_pending;
};

// A TCP port on 127.0.0.1 that nothing listens on just now.
int FreeTcpPort();

// A socket listening on 127.0.0.1 at a port the system chose, for a test that
// plays the server itself; closed with the object.
class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Fd() const { return m_fd; }
    int Port() const { return m_port; }

private:
    int m_fd;
    int m_port = 0;
};

// Whether something accepts connections on 127.0.0.1:port within timeoutMs.
bool WaitForListener(int port, int timeoutMs = 5000);

// A real ser2net (version 4, in the foreground) serving one device on
// 127.0.0.1 through a generated YAML configuration: through Telnet with the
// COM-PORT-OPTION, or as raw TCP.
class Ser2net {
public:
    enum class Accepter { kRfc2217, kRawTcp };
    Ser2net(const std::string& device, Accepter accepter);
    ~Ser2net();

    int Port() const { return m_port; }
    std::string Url() const;
    // Starts it and waits until it accepts connections; false if it did not.
    bool Start();
    void Stop() { m_process.Stop(); }

private:
    int m_port;
    Accepter m_accepter;
    std::string m_folder;
    std::string m_config;
    ChildProcess m_process;
};

// pyserial's RFC 2217 server (serial.rfc2217.PortManager) over its loop://
// port, which sends every byte back and shows RTS as CTS and DTR as DSR. It
// prints a line for each break change it is asked for ("break on", "break off").
class LoopRfc2217Server {
public:
    LoopRfc2217Server();
    int Port() const { return m_port; }
    std::string Url() const;
    // The next break change it reported, or empty after timeoutMs.
    std::string NextEvent(int timeoutMs = 3000) { return m_process.ReadLine(timeoutMs); }

private:
    ChildProcess m_process;
    int m_port = 0;
};

} // namespace testsupport
