#include "view/CChildView.h"

#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "resources/QuickSendKeys.h"
#include "view/CEditCR.h"
#include "view/CFindBar.h"
#include "view/CReportWindow.h"
#include "view/CSendBar.h"
#include "view/ReportFind.h"
#include "view/ReportZoom.h"
#include "view/ViewEvents.h"
#include "xrate/MessageBox.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QResizeEvent>
#include <QSocketNotifier>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

namespace {

std::int64_t LocalTimeOfDayMs()
{
    return QTime::currentTime().msecsSinceStartOfDay();
}

} // namespace

CChildView::CChildView(QWidget* parent) : CChildView(LineTimings{}, parent) {}

CChildView::CChildView(const LineTimings& timings, QWidget* parent)
    : QWidget(parent),
      m_reportWindow(nullptr),
      m_commandLine(nullptr),
      m_findBar(nullptr),
      m_sendBar(nullptr),
      m_port(Owner(), timings.port),
      m_recorder(Owner(), m_port),
      m_ring(FifoSize{kReceiveRingSize}),
      m_pump(Owner(), m_port, m_ring, timings.pump),
      m_signals(m_port, Owner()),
      m_transmit(ConversionAt(kConversionRaw).make(Owner())),
      m_receive(ConversionAt(kConversionRaw).make(Owner()))
{
    m_timeOfDay = LocalTimeOfDayMs;
    m_commandLine = new CEditCR(this);
    m_commandLine->setObjectName(QStringLiteral("commandLine"));
    m_commandLine->SetHistory(&m_history);
    setFocusProxy(m_commandLine);
    m_commandLine->setFocus();

    m_reportWindow = new CReportWindow(m_report, this);
    m_reportWindow->setObjectName(QStringLiteral("reportWindow"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(kReportFontPixels);
    m_reportWindow->setFont(font);
    m_quickSend.resize(QuickSendKeys().size());

    m_findBar = new CFindBar(this);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    m_findBar->hide();
    // Typing keeps the match it has while it still fits, so it starts at the selection's start.
    connect(m_findBar, &CFindBar::searchChanged, this, [this] { FindFrom(m_report.SelStart(), false); });
    connect(m_findBar, &CFindBar::findNext, this, [this](bool backwards) {
        FindFrom(backwards ? m_report.SelStart() : m_report.SelEnd(), backwards);
    });
    connect(m_findBar, &CFindBar::closed, this, [this] {
        LayOut();
        m_commandLine->setFocus(Qt::OtherFocusReason);
    });

    m_sendBar = new CSendBar(this);
    m_sendBar->setObjectName(QStringLiteral("sendBar"));
    m_sendBar->hide();
    connect(m_sendBar, &CSendBar::cancelled, this, &CChildView::CancelFileSend);
    m_fileSendTimer.setSingleShot(true);
    m_fileSendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_fileSendTimer, &QTimer::timeout, this, &CChildView::OnFileSendStep);

    // The reader thread only posts; everything it reports is handled here.
    m_pump.StartReceiveThread(
        [this](int count) { PostNotice<DataArrivedEvent>(this, count); },
        [this] { PostNotice<LineCheckEvent>(this); });
}

CChildView::~CChildView()
{
    // The reader is joined rather than given a fixed wait, so it is gone
    // before the port and the ring are.
    m_pump.StopReceiveThread();
    if (m_port.HasHandle())
        m_port.ComClose();
    m_transmit.reset();
    m_receive.reset();
    m_retired.clear();
    // The report window refers to the report text, which goes with the
    // view's fields, before the base class would delete its children.
    m_fileSendTimer.stop();
    m_fileSend.reset();
    delete m_sendBar;
    delete m_findBar;
    delete m_commandLine;
    delete m_reportWindow;
}

void* CChildView::Owner()
{
    // Message-box handlers take the owner back as a QWidget.
    return static_cast<QWidget*>(this);
}

bool CChildView::OnCommand(int id)
{
    switch (id) {
    case ID_SEND_COMMAND:
        OnSendCommand();
        return true;
    case ID_EDIT_COPY:
        OnEditCopy();
        return true;
    case ID_EDIT_PASTE:
        OnEditPaste();
        return true;
    case ID_CLEAR_REPORT:
        OnClearReport();
        return true;
    case ID_INSERT_CR:
        OnInsertCR();
        return true;
    case ID_EDIT_FIND:
        OnFind();
        return true;
    default:
        break;
    }
    if (id >= ID_QUICK_SEND_FIRST && id <= ID_QUICK_SEND_LAST) {
        OnQuickSend(id);
        return true;
    }
    return false;
}

void CChildView::SetRxRaw()
{
    SetReceiveConversion(kConversionRaw);
}

void CChildView::SetTxRaw()
{
    SetTransmitConversion(kConversionRaw);
}

void CChildView::SetRxHex()
{
    SetReceiveConversion(kConversionHex);
}

void CChildView::SetTxHex()
{
    SetTransmitConversion(kConversionHex);
}

void CChildView::SetRxBin()
{
    SetReceiveConversion(kConversionBin);
}

void CChildView::SetTxBin()
{
    SetTransmitConversion(kConversionBin);
}

void CChildView::SetRxOV()
{
    SetReceiveConversion(kConversionOV10);
}

void CChildView::SetTxOV()
{
    SetTransmitConversion(kConversionOV10);
}

void CChildView::SetRxOV11()
{
    SetReceiveConversion(kConversionOV11);
}

void CChildView::SetTxOV11()
{
    SetTransmitConversion(kConversionOV11);
}

void CChildView::SetReceiveConversion(int index)
{
    RetireReceive();
    m_receive = ConversionAt(index).make(Owner());
    m_receiveConversion = index;
    m_stamps.Reset();
}

void CChildView::SetTimeStamps(bool on)
{
    m_timeStamps = on;
    m_stamps.Reset();
}

void CChildView::SetReportLimit(int limit)
{
    if (m_report.SetLimit(limit) != 0)
        m_reportWindow->ReportChanged(false);
}

void CChildView::SetReportFontPixels(int pixels)
{
    QFont font = m_reportWindow->font();
    font.setPixelSize(pixels);
    m_reportWindow->setFont(font);
}

int CChildView::ReportFontPixels() const
{
    return m_reportWindow->font().pixelSize();
}

void CChildView::SetTransmitConversion(int index)
{
    RetireTransmit();
    m_transmit = ConversionAt(index).make(Owner());
    m_transmit->SetLineEnd(m_lineEnd);
    m_transmitConversion = index;
}

void CChildView::SetLineEnd(LineEnd end)
{
    m_lineEnd = end;
    m_transmit->SetLineEnd(end);
}

void CChildView::RetireTransmit()
{
    if (m_sending > 0)
        m_retired.push_back(std::move(m_transmit));
    m_transmit.reset();
}

void CChildView::RetireReceive()
{
    if (m_receiving > 0)
        m_retired.push_back(std::move(m_receive));
    m_receive.reset();
}

int CChildView::ComReopen(const char* name, int baud)
{
    m_port.SetPortMap(m_ports);
    const int result = m_port.ComReopen(name, baud);
    FollowDevice(name);
    NoteLineState();
    return result;
}

int CChildView::ComReopenMoved(const char* name, int baud)
{
    if (name == nullptr || std::strcmp(name, m_port.PortName()) != 0 || baud != m_port.BaudRate())
        return ComReopen(name, baud);
    m_port.SetPortMap(m_ports);
    const int result = m_port.ComOpen(name);
    FollowDevice(name);
    NoteLineState();
    return result;
}

void CChildView::FollowDevice(const char* name)
{
    if (!m_follower.Follow(m_port.HasHandle() ? m_ports.Resolve(name) : std::string()))
        return;
    delete m_deviceEvents;
    m_deviceEvents = nullptr;
    if (m_follower.EventFd() < 0)
        return;
    m_deviceEvents = new QSocketNotifier(m_follower.EventFd(), QSocketNotifier::Read, this);
    connect(m_deviceEvents, &QSocketNotifier::activated, this, [this] {
        if (m_follower.TakeEvents() == LineState::kReopened)
            m_pump.Wake();
        NoteLineState();
    });
}

LineState CChildView::GetLineState() const
{
    return m_port.GetLineState();
}

void CChildView::SetReceiveEnable(bool on)
{
    m_receiveEnable = on ? 1 : 0;
}

void CChildView::SetLocalEcho(bool on)
{
    m_localEcho = on ? 1 : 0;
}

int CChildView::AppendReport(const char* text)
{
    if (text == nullptr)
        text = "";
    const int result = m_report.Append(text);
    m_reportWindow->ReportChanged(true);
    m_recorder.Report(text);
    if (m_reportObserver)
        m_reportObserver(text);
    return result;
}

void CChildView::SetReportObserver(std::function<void(const char*)> observer)
{
    m_reportObserver = std::move(observer);
}

void CChildView::SendCommandLine(char* text)
{
    ++m_sending;
    int len = kSendText;
    const char* result = ConvertAndEcho(text, len);
    if (len != kSendReport)
        m_port.ComSend(result, len);
    --m_sending;
    AfterConverterCall();
}

const char* CChildView::ConvertAndEcho(char* text, int& len)
{
    len = kSendText;
    const char* result = m_transmit->XrateSend(text, len);
    if (result == nullptr)
        result = "";
    if (m_localEcho) {
        AppendReport(">> ");
        AppendReport(text);
        AppendReport("\r\n");
    }
    if (len == kSendReport)
        AppendReport(result);
    return result;
}

void CChildView::ShowReceived(const unsigned char* bytes, int count)
{
    ++m_receiving;
    m_receivedBytes += std::max(count, 0);
    const char* text = m_receive->XrateReceive(bytes, count);
    // The Orvane displays render and stamp their own lines.
    const bool stamped = m_timeStamps && (m_receiveConversion == kConversionRaw ||
                                          m_receiveConversion == kConversionHex ||
                                          m_receiveConversion == kConversionBin);
    if (m_receiveEnable && text != nullptr && stamped) {
        const std::string& report = m_report.Text();
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const std::string withStamps =
            m_stamps.Stamp(text, report.empty() || report.back() == '\n', m_receiveConversion == kConversionBin,
                           std::chrono::duration_cast<std::chrono::milliseconds>(now).count(), m_timeOfDay());
        AppendReport(withStamps.c_str());
    } else if (m_receiveEnable && text != nullptr) {
        AppendReport(text);
    }
    --m_receiving;
    AfterConverterCall();
}

void CChildView::AfterConverterCall()
{
    if (m_sending > 0 || m_receiving > 0)
        return;
    m_retired.clear();
    for (const int id : m_deferredSends)
        QCoreApplication::postEvent(this, new CommandEvent(id));
    m_deferredSends.clear();
}

QPlainTextEdit* CChildView::ReportWindow()
{
    return m_reportWindow;
}

QPlainTextEdit* CChildView::CommandLine()
{
    return m_commandLine;
}

void CChildView::WatchModemInputs()
{
    m_port.SetModemListener(&m_modemFeed);
}

void CChildView::ModemFeed::ModemInputs(int bits)
{
    PostNotice<ModemInputsEvent>(m_view, bits);
}

bool CChildView::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == CommandEvent::Kind()) {
        OnCommand(static_cast<CommandEvent*>(event)->Id());
        return true;
    }
    if (type == DataArrivedEvent::Kind()) {
        OnReceive();
        return true;
    }
    if (type == LineCheckEvent::Kind()) {
        OnLineCheck();
        return true;
    }
    if (type == ModemInputsEvent::Kind()) {
        emit modemInputsChanged(static_cast<ModemInputsEvent*>(event)->Bits());
        return true;
    }
    if (type == QEvent::WindowActivate)
        m_commandLine->setFocus(Qt::ActiveWindowFocusReason);
    return QWidget::event(event);
}

void CChildView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CChildView::LayOut()
{
    // The command line keeps its height at the bottom, the send bar while a
    // file goes out sits above it, the find bar when open above that, and
    // the report takes the rest.
    const int width = this->width();
    const int height = this->height();
    const int split = std::max(height - CEditCR::kHeight, 0);
    m_commandLine->setGeometry(0, split, width, height - split);
    const int sendHeight = m_sendBar->isHidden() ? 0 : std::min(m_sendBar->HeightHint(), split);
    m_sendBar->setGeometry(0, split - sendHeight, width, sendHeight);
    const int above = split - sendHeight;
    const int findHeight = m_findBar->isHidden() ? 0 : std::min(m_findBar->HeightHint(), above);
    m_findBar->setGeometry(0, above - findHeight, width, findHeight);
    m_reportWindow->setGeometry(0, 0, width, above - findHeight);
}

void CChildView::OnFind()
{
    m_findBar->Open();
    LayOut();
}

void CChildView::FindFrom(int from, bool backwards)
{
    std::string needle;
    int found = -1;
    if (m_findBar->Needle(needle))
        found = FindInReport(m_report.Text(), from, {needle, m_findBar->MatchCase(), backwards});
    m_findBar->ShowFound(found >= 0);
    if (found < 0)
        return;
    m_report.SetSel(found, found + static_cast<int>(needle.size()));
    m_reportWindow->ShowMatch();
}

void CChildView::OnSendCommand()
{
    // Under a box of the send that is running: send once it has finished.
    if (m_sending > 0) {
        m_deferredSends.push_back(ID_SEND_COMMAND);
        return;
    }
    SendTyped(m_commandLine->CommandText());
}

void CChildView::OnQuickSend(int id)
{
    const std::string& text = m_quickSend[static_cast<std::size_t>(id - ID_QUICK_SEND_FIRST)];
    if (text.empty())
        return;
    if (m_sending > 0) {
        m_deferredSends.push_back(id);
        return;
    }
    SendTyped(text);
}

void CChildView::SetQuickSendText(int index, std::string text)
{
    m_quickSend.at(static_cast<std::size_t>(index)) = std::move(text);
}

const std::string& CChildView::QuickSendText(int index) const
{
    return m_quickSend.at(static_cast<std::size_t>(index));
}

void CChildView::SendTyped(const std::string& command)
{
    RememberCommand(command);
    std::vector<char> buffer(command.size() + 2, '\0');
    std::copy(command.begin(), command.end(), buffer.begin());
    SendCommandLine(buffer.data());
}

void CChildView::UseHistoryFile(const std::string& path)
{
    m_historyPath = path;
    std::string error;
    if (!path.empty() && m_history.Load(path, error) != 0)
        HistoryFailed(error);
}

void CChildView::RememberCommand(const std::string& command)
{
    m_history.Add(command);
    std::string error;
    if (!m_historyPath.empty() && m_history.Save(m_historyPath, error) != 0)
        HistoryFailed(error);
}

void CChildView::HistoryFailed(const std::string& error)
{
    // Once is enough: the next send would fail the same way.
    m_historyPath.clear();
    ShowMessageBox(Owner(), "The command history cannot be kept in its file; it is kept until Tamsel ends.",
                   "Tamsel history", kMbOk | kMbIconExclamation, error.c_str());
}

void CChildView::OnEditCopy()
{
    m_reportWindow->Copy();
}

void CChildView::OnEditPaste()
{
    m_commandLine->paste();
}

void CChildView::OnClearReport()
{
    m_report.Clear();
    m_reportWindow->ReportChanged(false);
}

void CChildView::OnInsertCR()
{
    AppendReport("\r\n");
}

void CChildView::OnReceive()
{
    // The pump holds back notices that arrive under a box of the receive
    // converter and takes their bytes once the converter has returned.
    m_pump.OnReceive([this](const unsigned char* bytes, int count) { ShowReceived(bytes, count); });
}

void CChildView::OnLineCheck()
{
    if (m_follower.CheckLine() == LineState::kReopened)
        m_pump.Wake();
    NoteLineState();
}

void CChildView::NoteLineState()
{
    const LineState state = m_port.GetLineState();
    if (state == m_shownLineState)
        return;
    m_shownLineState = state;
    emit lineStateChanged(static_cast<int>(state));
}
