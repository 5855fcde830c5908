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

    // Bytes written to the master that wait in the line's input queue for a
    // reader. The kernel moves them there a little after the write, and the
    // queue holds at most a few KiB: the rest of what the line has taken
    // (about 20 KiB in all) waits in front of it, so 0 here means "nothing
    // unread" only once the line has had a moment to settle.
    int Pending() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
