#include "app/CMainFrame.h"

#include "app/CStatusBar.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "xrate/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// tamsel-YYYYMMDD-HHMMSS.EXT in the user's documents folder.
QString DefaultRecordingPath(const char* extension)
{
    const QString name = QStringLiteral("tamsel-%1.%2")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                  QString::fromLatin1(extension));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
}

} // namespace

void CMainFrame::OnLogStart()
{
    SessionRecorder& recorder = m_view->Session().Recorder();
    const QString path = QFileDialog::getSaveFileName(this, String(ID_LOG_START), DefaultRecordingPath("log"));
    if (!path.isEmpty())
        recorder.StartLog(path.toLocal8Bit().toStdString(), false, recorder.LogStamps());
}

void CMainFrame::OnLogStamps()
{
    SessionRecorder& recorder = m_view->Session().Recorder();
    recorder.SetLogStamps(!recorder.LogStamps());
    CheckMenuItem(ID_LOG_STAMPS, recorder.LogStamps());
}

void CMainFrame::OnCaptureStart()
{
    const QString path = QFileDialog::getSaveFileName(this, String(ID_CAPTURE_START), DefaultRecordingPath("pcapng"));
    if (!path.isEmpty())
        StartCapture(path.toLocal8Bit().toStdString());
}

void CMainFrame::OnSaveReportAs()
{
    const QString path = QFileDialog::getSaveFileName(this, String(ID_REPORT_SAVE_AS), DefaultRecordingPath("txt"));
    if (!path.isEmpty())
        SaveReport(path.toLocal8Bit().toStdString());
}

void CMainFrame::OnSelectAll()
{
    m_view->ReportWindow()->selectAll();
}

void CMainFrame::OnCopyAll()
{
    const std::string& text = m_view->Session().Report().Text();
    QApplication::clipboard()->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

int CMainFrame::SaveReport(const std::string& path)
{
    const std::string& text = m_view->Session().Report().Text();
    int reason = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        reason = errno;
    } else {
        if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
            reason = errno;
        // A full disk often shows only when the last buffer goes out.
        if (std::fclose(file) != 0 && reason == 0)
            reason = errno;
    }
    if (reason == 0)
        return 0;
    const std::string message = "Cannot save the report to " + path + ": " + std::strerror(reason);
    ShowMessageBox(static_cast<QWidget*>(m_view), message.c_str(), "Tamsel::Save", kMbOk | kMbIconExclamation);
    return -1;
}

void CMainFrame::ShowRecording()
{
    const SessionRecorder& recorder = m_view->Session().Recorder();
    QStringList parts;
    if (recorder.Logging())
        parts << QString::fromUtf8(m_strings.Find(IDS_LOG_PANE)) + QFileInfo(QString::fromLocal8Bit(recorder.LogPath().c_str())).fileName();
    if (recorder.Capturing())
        parts << QString::fromUtf8(m_strings.Find(IDS_CAPTURE_PANE)) +
                     QFileInfo(QString::fromLocal8Bit(recorder.CapturePath().c_str())).fileName();
    m_recordingPane->setText(parts.join(QStringLiteral("  ")));
    m_recordingPane->setVisible(!parts.isEmpty());
    CheckMenuItem(ID_LOG_STAMPS, recorder.LogStamps());
}
