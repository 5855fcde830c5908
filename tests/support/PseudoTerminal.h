#pragma once

#include <termios.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace testsupport {

// A pseudo-terminal standing in for a device on a serial line: the code under
// test opens the slave by its path, the test plays the far side on the
// master. The slave starts raw at the given speed, as a serial device would
// (a fresh one is canonical and echoes), and the helper holds a descriptor of
// its own to it, so the device exists until the far side hangs up.
class PseudoTerminal {
public:
    explicit PseudoTerminal(speed_t speed = B9600);
    ~PseudoTerminal();

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    const std::string& Path() const { return m_path; }
    int Slave() const { return m_slave; }
    // The far side's own descriptor (non-blocking), for a writer that paces itself.
    int Master() const { return m_master; }
    // Bytes written by the far side that wait in the line's input queue for a
    // reader. The kernel moves them there a little after the write, and the
    // queue holds at most a few KiB: the rest of what the line has taken
    // (about 20 KiB in all) waits in front of it, so 0 here means "nothing
    // unread" only once the line has had a moment to settle.
    int Pending() const;
    termios SlaveSettings() const;

    // The far side sends bytes: all of them, or the test fails.
    bool Write(std::string_view bytes);

    // What the far side receives: count bytes, or fewer when timeoutMs passes first.
    std::string Read(std::size_t count, int timeoutMs = 3000);
    // Everything that arrives until the line has been quiet for quietMs; at most max bytes.
    std::string ReadUntilQuiet(int quietMs, std::size_t max = std::string::npos);
    // A reply: what arrives within firstMs, then until the line is quiet for 50 ms.
    std::string ReadReply(int firstMs = 300);

    // The device goes away, as when a USB adapter is pulled.
    void HangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

} // namespace testsupport
