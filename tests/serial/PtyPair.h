#pragma once

#include <string>

#include <termios.h>

// A pseudo-terminal standing in for a serial device: the test plays the far
// side on the master; the port under test opens the slave by its path. The
// slave starts raw at the given speed, as a serial device would, and the
// helper keeps its own descriptor of it so the device exists until the
// master goes.
class PtyPair {
public:
    explicit PtyPair(speed_t speed = B9600);
    ~PtyPair();

    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int Slave() const { return m_slave; }

    // The far side: writes everything, or fails the test.
    void Write(const std::string& bytes);
    // What the port sent, until nothing more comes for waitMs; at most max bytes.
    std::string Read(int waitMs, std::size_t max = 65536);
    // The device goes away, as when a USB adapter is pulled.
    void CloseMaster();

    termios SlaveSettings() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
