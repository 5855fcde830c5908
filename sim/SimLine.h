#pragma once

#include <string>

namespace sim {

// The simulator's line: a pseudo-terminal pair. The bus serves the master end;
// the slave end, in raw mode, is the device a monitor opens. The simulator
// keeps its own descriptor of the slave open for its whole life, so a monitor
// may close and reopen the device without the line hanging up and the device
// node going away.
//
// Place a symbolic link to the device for monitors that want a fixed name; it
// is removed at Close if it still points to this device.
class SimLine {
public:
    SimLine() = default;
    ~SimLine() { Close(); }

    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // 0, or -1 with a one-line message in error.
    int Open(std::string& error);
    int PlaceLink(const std::string& linkPath, std::string& error);
    void Close();

    int Master() const { return m_master; }
    int Slave() const { return m_slave; }
    const std::string& Path() const { return m_path; }

    // Bytes written to the master end that nobody has read from the slave end yet.
    int Unread() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    std::string m_link;
};

} // namespace sim
