#pragma once

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

// A pseudo-terminal pair standing in for a device on a serial line: the
// application opens the slave by its path, the test reads and writes the
// master, the far side of the line.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        int slave = -1;
        char name[64] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios settings{};
        tcgetattr(slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
        close(slave);
        m_path = name;
    }
    ~PseudoTerminal()
    {
        if (m_master >= 0)
            close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Path() const { return m_path; }

    // What has arrived on the far side within timeoutMs of the last byte.
    std::string Read(int timeoutMs = 300)
    {
        std::string bytes;
        pollfd poller{m_master, POLLIN, 0};
        while (poll(&poller, 1, timeoutMs) > 0 && (poller.revents & POLLIN)) {
            char buffer[256];
            const ssize_t count = read(m_master, buffer, sizeof buffer);
            if (count <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(count));
            timeoutMs = 50;
        }
        return bytes;
    }

    // Bytes the device sends: they arrive at the application's end.
    bool Write(const std::string& bytes)
    {
        return write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

private:
    int m_master = -1;
    std::string m_path;
};
