#pragma once

#include <string>

// The line of one trial: a pseudo-terminal whose master the rig writes and
// whose slave the receiver under test opens by its path. The rig keeps a raw
// slave descriptor of its own open for the whole trial, so the line exists
// (and does not echo) before the receiver opens it, and so that the bytes
// still waiting for the receiver can be counted.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return m_master >= 0; }
    int Master() const { return m_master; }  // non-blocking
    const std::string& Path() const { return m_path; }

    // Bytes written to the master that no reader has taken yet.
    int Pending() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
