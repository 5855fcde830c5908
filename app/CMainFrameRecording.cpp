#include "app/CMainFrame.h"

#include "app/CStatusBar.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>

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

bool CMainFrame::OnRecordingCommand(int id)
{
    SessionRecorder& recorder = m_view->Recorder();
    switch (id) {
    case ID_LOG_START: {
        const QString path = QFileDialog::getSaveFileName(this, String(ID_LOG_START), DefaultRecordingPath("log"));
        if (!path.isEmpty())
            recorder.StartLog(path.toLocal8Bit().toStdString(), false, recorder.LogStamps());
        return true;
    }
    case ID_LOG_STOP:
        recorder.StopLog();
        return true;
    case ID_LOG_STAMPS:
        recorder.SetLogStamps(!recorder.LogStamps());
        CheckMenuItem(ID_LOG_STAMPS, recorder.LogStamps());
        return true;
    case ID_CAPTURE_START: {
        const QString path =
            QFileDialog::getSaveFileName(this, String(ID_CAPTURE_START), DefaultRecordingPath("pcapng"));
        if (!path.isEmpty())
            StartCapture(path.toLocal8Bit().toStdString());
        return true;
    }
    case ID_CAPTURE_STOP:
        recorder.StopCapture();
        return true;
    default:
        return false;
    }
}

void CMainFrame::ShowRecording()
{
    const SessionRecorder& recorder = m_view->Recorder();
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
