#include "session/SessionRecorder.h"

#include "serial/CComPort.h"
#include "xrate/MessageBox.h"

namespace {

constexpr const char* kLogCaption = "Tamsel::Log";
constexpr const char* kCaptureCaption = "Tamsel::Capture";
// A failed write is noticed within this time even when nothing more arrives.
constexpr int kCheckMs = 250;

void ShowFileBox(void* owner, const char* what, const std::string& path, const std::string& reason,
                 const char* caption)
{
    const std::string text = std::string(what) + " " + path + ": " + reason;
    ShowMessageBox(owner, text.c_str(), caption, kMbOk | kMbIconExclamation);
}

} // namespace

SessionRecorder::SessionRecorder(void* owner, CComPort& port) : m_owner(owner), m_port(port)
{
    m_port.SetTap(&m_capture);
    m_check.setInterval(kCheckMs);
    connect(&m_check, &QTimer::timeout, this, &SessionRecorder::CheckFailures);
}

SessionRecorder::~SessionRecorder()
{
    m_port.SetTap(nullptr);
}

int SessionRecorder::StartLog(const std::string& path, bool startAnew, bool stamps)
{
    StopLog();
    std::string reason;
    if (m_log.Open(path, startAnew, stamps, reason) != 0) {
        ShowFileBox(m_owner, "Cannot open the log", path, reason, kLogCaption);
        return -1;
    }
    m_check.start();
    emit recordingChanged();
    return 0;
}

void SessionRecorder::StopLog()
{
    if (!m_log.IsOpen())
        return;
    const std::string path = m_log.Path();
    if (m_log.Close() != 0)
        ShowFileBox(m_owner, "Failed to write the log (logging has stopped)", path, m_log.Failure(),
                    kLogCaption);
    emit recordingChanged();
}

int SessionRecorder::StartCapture(const std::string& path, const std::string& portName,
                                  const std::string& device, int rate)
{
    StopCapture();
    std::string reason;
    if (m_capture.Open(path, portName, device + ", " + std::to_string(rate) + " bps", rate, reason) != 0) {
        ShowFileBox(m_owner, "Cannot open the capture", path, reason, kCaptureCaption);
        return -1;
    }
    m_check.start();
    emit recordingChanged();
    return 0;
}

void SessionRecorder::StopCapture()
{
    if (!m_capture.IsOpen())
        return;
    const std::string path = m_capture.Path();
    if (m_capture.Close() != 0)
        ShowFileBox(m_owner, "Failed to write the capture (capturing has stopped)", path,
                    m_capture.Failure(), kCaptureCaption);
    emit recordingChanged();
}

void SessionRecorder::Report(const char* text)
{
    if (m_log.IsOpen())
        m_log.Append(text);
}

void SessionRecorder::Flush()
{
    if (m_log.IsOpen())
        m_log.Flush();
}

void SessionRecorder::CheckFailures()
{
    // Closing first keeps a box's nested event loop from coming back here.
    if (m_log.IsOpen() && !m_log.Failure().empty())
        StopLog();
    if (m_capture.IsOpen() && !m_capture.Failure().empty())
        StopCapture();
    if (!m_log.IsOpen() && !m_capture.IsOpen())
        m_check.stop();
}
