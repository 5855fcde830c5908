#pragma once

#include <string>
#include <string_view>

// A pseudo-terminal pair standing for a device on a serial line: the view
// opens the slave by its path, the test plays the far side on the master.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }

    // The far side sends bytes.
    void Write(std::string_view bytes);

    // What the far side receives: count bytes, or fewer when timeoutMs passes first.
    std::string Read(std::size_t count, int timeoutMs = 3000);
    // Everything that arrives until the line has been quiet for quietMs.
    std::string ReadUntilQuiet(int quietMs);

private:
    int m_master = -1;
    int m_slave = -1;  // held open so the line never hangs up under the test
    std::string m_slavePath;
};
