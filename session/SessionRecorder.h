#pragma once

#include "capture/CaptureFile.h"
#include "log/SessionLog.h"

#include <QObject>
#include <QTimer>

#include <string>

class CComPort;

// What the view keeps on disk: the session log of every report text and the
// raw capture of the line. Both are written on threads of their own; a failed
// write or open gives one box (caption "Tamsel::Log" or "Tamsel::Capture")
// naming the file and the OS's reason, and that recording stops while the
// session goes on.
class SessionRecorder : public QObject {
    Q_OBJECT
public:
    SessionRecorder(void* owner, CComPort& port);
    ~SessionRecorder() override;

    // 0, or -1 after the box.
    int StartLog(const std::string& path, bool startAnew, bool stamps);
    void StopLog();
    bool Logging() const { return m_log.IsOpen(); }
    const std::string& LogPath() const { return m_log.Path(); }
    void SetLogStamps(bool on) { m_log.SetStamps(on); }
    bool LogStamps() const { return m_log.Stamps(); }

    // portName and rate go into the capture's interface description.
    int StartCapture(const std::string& path, const std::string& portName, const std::string& device,
                     int rate);
    void StopCapture();
    bool Capturing() const { return m_capture.IsOpen(); }
    const std::string& CapturePath() const { return m_capture.Path(); }

    void Report(const char* text);
    // Everything written so far reaches the files (before the program ends).
    void Flush();

signals:
    // Logging or capturing started or stopped.
    void recordingChanged();

private:
    void CheckFailures();

    void* m_owner;
    CComPort& m_port;
    SessionLog m_log;
    CaptureFile m_capture;
    QTimer m_check;
};
