#pragma once

#include "capture/Pcapng.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <string>
#include <vector>

class CChildView;

// Replays a capture through the view's receive conversion: no port is
// opened; the received blocks go through the same display step as a chunk
// the reader read, at most 512 bytes at a time, at the recorded pace times a
// speed factor, or as fast as the conversion takes them (speed 0).
class ReplaySession : public QObject {
    Q_OBJECT
public:
    ReplaySession(CChildView& view, double speed);

    // Reads the capture. 0, or -1 with a message in error when there is
    // nothing to replay (no such file, not a capture).
    int Load(const std::string& path, std::string& error);
    void Start();

    bool Running() const { return m_running; }
    std::size_t Done() const { return m_next; }
    std::size_t Total() const { return m_packets.size(); }

signals:
    // After each step, and once more at the end.
    void progressed();
    void finished();

private:
    void Step();
    void Feed(const std::vector<unsigned char>& bytes);

    CChildView& m_view;
    double m_speed;
    std::string m_path;
    std::vector<CapturedPacket> m_packets;  // the received ones only
    std::string m_damage;                   // where the capture ended early, if it did
    std::size_t m_next = 0;
    bool m_running = false;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
