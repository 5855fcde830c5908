#include "session/LineSession.h"

#include "conversions/ConversionRegistry.h"
#include "session/SessionEvents.h"

#include <QSocketNotifier>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

std::int64_t LocalTimeOfDayMs()
{
    return QTime::currentTime().msecsSinceStartOfDay();
}

} // namespace

LineSession::LineSession(void* owner, const LineTimings& timings, QObject* parent)
    : QObject(parent),
      m_owner(owner),
      m_timeOfDay(LocalTimeOfDayMs),
      m_port(owner, timings.port),
      m_recorder(owner, m_port),
      m_ring(FifoSize{kReceiveRingSize}),
      m_pump(owner, m_port, m_ring, timings.pump),
      m_signals(m_port, owner),
      m_transmit(ConversionAt(kConversionRaw).make(owner)),
      m_receive(ConversionAt(kConversionRaw).make(owner))
{
    // The reader thread only posts; everything it reports is handled here.
    m_pump.StartReceiveThread(
        [this](int count) { PostNotice<DataArrivedEvent>(this, count); },
        [this] { PostNotice<LineCheckEvent>(this); });
}

LineSession::~LineSession()
{
    // The reader is joined rather than given a fixed wait, so it is gone
    // before the port and the ring are.
    m_pump.StopReceiveThread();
    if (m_port.HasHandle())
        m_port.ComClose();
    m_transmit.reset();
    m_receive.reset();
    m_retired.clear();
}

void LineSession::SetReceiveConversion(int index)
{
    RetireReceive();
    m_receive = ConversionAt(index).make(m_owner);
    m_receiveConversion = index;
    m_stamps.Reset();
}

void LineSession::SetTransmitConversion(int index)
{
    RetireTransmit();
    m_transmit = ConversionAt(index).make(m_owner);
    m_transmit->SetLineEnd(m_lineEnd);
    m_transmitConversion = index;
}

void LineSession::SetLineEnd(LineEnd end)
{
    m_lineEnd = end;
    m_transmit->SetLineEnd(end);
}

void LineSession::RetireTransmit()
{
    if (m_sending > 0)
        m_retired.push_back(std::move(m_transmit));
    m_transmit.reset();
}

void LineSession::RetireReceive()
{
    if (m_receiving > 0)
        m_retired.push_back(std::move(m_receive));
    m_receive.reset();
}

void LineSession::SetTimeStamps(bool on)
{
    m_timeStamps = on;
    m_stamps.Reset();
}

int LineSession::ComReopen(const char* name, int baud)
{
    m_port.SetPortMap(m_ports);
    const int result = m_port.ComReopen(name, baud);
    FollowDevice(name);
    NoteLineState();
    return result;
}

int LineSession::ComReopenMoved(const char* name, int baud)
{
    if (name == nullptr || std::strcmp(name, m_port.PortName()) != 0 || baud != m_port.BaudRate())
        return ComReopen(name, baud);
    m_port.SetPortMap(m_ports);
    const int result = m_port.ComOpen(name);
    FollowDevice(name);
    NoteLineState();
    return result;
}

void LineSession::FollowDevice(const char* name)
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

void LineSession::WatchModemInputs()
{
    m_port.SetModemListener(&m_modemFeed);
}

void LineSession::ModemFeed::ModemInputs(int bits)
{
    PostNotice<ModemInputsEvent>(m_session, bits);
}

int LineSession::AppendReport(const char* text)
{
    if (text == nullptr)
        text = "";
    const int result = m_report.Append(text);
    if (m_reportShown)
        m_reportShown(true);
    m_recorder.Report(text);
    for (const auto& [key, observer] : m_reportObservers)
        observer(text);
    return result;
}

void LineSession::ClearReport()
{
    m_report.Clear();
    if (m_reportShown)
        m_reportShown(false);
}

void LineSession::SetReportLimit(int limit)
{
    if (m_report.SetLimit(limit) != 0 && m_reportShown)
        m_reportShown(false);
}

int LineSession::AddReportObserver(std::function<void(const char*)> observer)
{
    m_reportObservers.emplace(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void LineSession::RemoveReportObserver(int key)
{
    m_reportObservers.erase(key);
}

void LineSession::SendCommandLine(char* text)
{
    ++m_sending;
    int len = kSendText;
    const char* result = ConvertAndEcho(text, len);
    if (len != kSendReport)
        m_port.ComSend(result, len);
    --m_sending;
    AfterConverterCall();
}

std::string LineSession::ConvertLine(const std::string& line)
{
    // A writable copy with room for what a converter may add in place.
    std::vector<char> buffer(line.size() + 2, '\0');
    std::memcpy(buffer.data(), line.data(), line.size());
    ++m_sending;
    int len = kSendText;
    const char* result = ConvertAndEcho(buffer.data(), len);
    std::string bytes;
    if (len == kSendText)
        bytes = result;
    else if (len > 0)
        bytes.assign(result, static_cast<std::size_t>(len));
    --m_sending;
    AfterConverterCall();
    return bytes;
}

const char* LineSession::ConvertAndEcho(char* text, int& len)
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

void LineSession::ShowReceived(const unsigned char* bytes, int count)
{
    ++m_receiving;
    m_receivedBytes += std::max(count, 0);
    const char* text = m_receive->XrateReceive(bytes, count);
    const ConversionKind& conversion = ConversionAt(m_receiveConversion);
    if (m_receiveEnable && text != nullptr && m_timeStamps && conversion.stampsReceived) {
        const std::string& report = m_report.Text();
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const std::string withStamps =
            m_stamps.Stamp(text, report.empty() || report.back() == '\n', conversion.pauseEndsLine,
                           std::chrono::duration_cast<std::chrono::milliseconds>(now).count(), m_timeOfDay());
        AppendReport(withStamps.c_str());
    } else if (m_receiveEnable && text != nullptr) {
        AppendReport(text);
    }
    --m_receiving;
    AfterConverterCall();
}

void LineSession::AfterConverterCall()
{
    if (m_sending > 0 || m_receiving > 0)
        return;
    m_retired.clear();
    emit convertersIdle();
}

bool LineSession::event(QEvent* event)
{
    const QEvent::Type type = event->type();
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
    return QObject::event(event);
}

void LineSession::OnReceive()
{
    // The pump holds back notices that arrive under a box of the receive
    // converter and takes their bytes once the converter has returned.
    m_pump.OnReceive([this](const unsigned char* bytes, int count) { ShowReceived(bytes, count); });
}

void LineSession::OnLineCheck()
{
    if (m_follower.CheckLine() == LineState::kReopened)
        m_pump.Wake();
    NoteLineState();
}

void LineSession::NoteLineState()
{
    const LineState state = m_port.GetLineState();
    if (state == m_shownLineState)
        return;
    m_shownLineState = state;
    emit lineStateChanged(static_cast<int>(state));
}
