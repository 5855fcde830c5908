#include "view/CChildView.h"

#include "conversions/ConversionRegistry.h"
#include "view/CSendBar.h"
#include "xrate/MessageBox.h"

#include <QFileInfo>

#include <cstring>

namespace {

constexpr char kSendCaption[] = "Tamsel::ComSend";
constexpr char kFileCaption[] = "Tamsel::SendFile";
// While another send holds the converter (its box is open), look again this soon.
constexpr int kBusyRetryMs = 10;

std::string BytesOut(long long written, const std::string& path)
{
    return std::to_string(written) + (written == 1 ? " byte" : " bytes") + " of " + path + " went out";
}

} // namespace

int CChildView::SendFile(const std::string& path, const SendPacing& pacing)
{
    if (m_fileSend) {
        const std::string message = "Tamsel is still sending " + m_fileSend->Path() + "; cancel it first.";
        ShowMessageBox(Owner(), message.c_str(), kFileCaption, kMbOk | kMbIconExclamation);
        return -1;
    }
    CComPort& port = m_session.Port();
    if (!port.HasHandle()) {
        ShowMessageBox(Owner(), "Failed to transmit", kSendCaption, kMbOk, "no port is open");
        return -1;
    }
    const FileSender::Mode mode = ConversionAt(m_session.TransmitConversion()).sendsFileBytes
                                      ? FileSender::Mode::kBytes
                                      : FileSender::Mode::kLines;
    FileSender::Line line{
        [&port](const char* bytes, int length, int waitMs) { return port.WritePart(bytes, length, waitMs); },
        [&port](int length) { return port.WriteTimeoutMs(length); }};
    auto sender = std::make_unique<FileSender>(mode, pacing, std::move(line), [this](const std::string& text) {
        return m_session.ConvertLine(text);
    });
    std::string error;
    if (sender->Open(path, error) != 0) {
        ShowMessageBox(Owner(), error.c_str(), kFileCaption, kMbOk | kMbIconExclamation);
        return -1;
    }
    m_fileSend = std::move(sender);
    m_sendBar->Begin(QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName(), m_fileSend->Size());
    m_sendBar->show();
    LayOut();
    m_fileSendClock.start();
    m_fileSendTimer.start(0);
    return 0;
}

void CChildView::CancelFileSend()
{
    if (!m_fileSend)
        return;
    if (m_fileStepping) {
        m_fileCancelled = true;
        return;
    }
    m_fileSendTimer.stop();
    m_fileSend.reset();
    m_sendBar->hide();
    LayOut();
    emit fileSendEnded(false);
}

void CChildView::OnFileSendStep()
{
    // A typed send under its converter's box goes first; the file waits.
    if (m_session.Sending()) {
        m_fileSendTimer.start(kBusyRetryMs);
        return;
    }
    int delayMs = 0;
    m_fileStepping = true;
    const FileSender::Status status = m_fileSend->Step(m_fileSendClock.elapsed(), delayMs);
    m_fileStepping = false;
    // A converter's box let the user cancel meanwhile.
    if (m_fileCancelled) {
        m_fileCancelled = false;
        CancelFileSend();
        return;
    }
    m_sendBar->Progress(m_fileSend->Done());
    if (status == FileSender::Status::kRunning)
        m_fileSendTimer.start(delayMs);
    else
        EndFileSend(status);
}

void CChildView::EndFileSend(FileSender::Status status)
{
    const std::unique_ptr<FileSender> sender = std::move(m_fileSend);
    m_sendBar->hide();
    LayOut();
    const std::string out = BytesOut(sender->Written(), sender->Path());
    switch (status) {
    case FileSender::Status::kTimedOut: {
        const std::string detail =
            out + "; the line took no more within " + std::to_string(sender->TimeoutMs()) + " ms";
        ShowMessageBox(Owner(), "Failed to transmit (Time out?)", kSendCaption, kMbOk, detail.c_str());
        break;
    }
    case FileSender::Status::kWriteFailed: {
        const std::string detail = out + "; " + std::strerror(sender->WriteError());
        ShowMessageBox(Owner(), "Failed to transmit", kSendCaption, kMbOk, detail.c_str());
        break;
    }
    case FileSender::Status::kReadFailed:
        ShowMessageBox(Owner(), sender->ReadError().c_str(), kFileCaption, kMbOk | kMbIconExclamation, out.c_str());
        break;
    default:
        break;
    }
    emit fileSendEnded(status == FileSender::Status::kDone);
}
