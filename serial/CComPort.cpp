#include "serial/CComPort.h"

#include "serial/LineKinds.h"
#include "serial/PortErrors.h"
#include "xrate/MessageBox.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <tuple>

#include <sys/ioctl.h>

namespace {

constexpr char kOpenCaption[] = "Tamsel::ComOpen";
constexpr char kSendCaption[] = "Tamsel::ComSend";
constexpr char kLineCaption[] = "Tamsel::CheckLine";
constexpr char kSignalCaption[] = "Tamsel::ComSignal";
// How often the reader asks after an open still under way.
constexpr int kPendingLookMs = 100;

void SleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int NoLine()
{
    errno = ENOTCONN;
    return -1;
}

} // namespace

CComPort::CComPort(void* owner, PortTimings timings) : m_owner(owner), m_timings(timings) {}

CComPort::~CComPort()
{
    m_modemWatch.Stop();
    SerialLine* line = m_handle.exchange(nullptr);
    if (line != nullptr) {
        while (ReaderUses(line))
            SleepMs(1);
        delete line;
    }
}

void CComPort::SetPortMap(const PortMap& map)
{
    m_map = map;
}

void CComPort::SetModemListener(ModemListener* listener)
{
    m_modemWatch.Stop();
    m_modemListener = listener;
    if (SerialLine* line = m_handle.load(); line != nullptr && listener != nullptr)
        m_modemWatch.Start(*line, *listener);
}

void CComPort::SetLineDriver(LineDriver* driver)
{
    m_driver = driver ? driver : &SystemLineDriver();
}

std::unique_ptr<LineOpener> CComPort::StartOpen(const char* name)
{
    const std::string place = m_map.Resolve(name);
    if (place.empty())
        return FailedLineOpen(UnmappedDetail(name));
    return StartOpenAt(place);
}

std::unique_ptr<LineOpener> CComPort::StartOpenAt(const std::string& place)
{
    const LineContext context{
        *m_driver, [this](int fd, const termios& settings) { return ApplyLineSettings(fd, settings); }, m_baudRate};
    return StartLineOpen(place, context);
}

int CComPort::ApplyLineSettings(int fd, const termios& settings)
{
    return tcsetattr(fd, TCSANOW, &settings);
}

int CComPort::ComOpen(const char* name)
{
    if (name == nullptr)
        name = "";
    if (HasHandle() || m_opening)
        ComClose();
    m_failures = 0;
    m_noteShown = false;
    std::unique_ptr<LineOpener> opener = StartOpen(name);
    if (!opener->Wait(m_timings.openWaitMs)) {
        // The user-interface thread goes on; CheckLine takes the outcome.
        m_opening = std::move(opener);
        m_openingIsRetry = false;
        m_checkDelayMs.store(kPendingLookMs);
        m_state.store(LineState::kConnecting);
        return 0;
    }
    return TakeOpening(opener->Take(), false);
}

int CComPort::TakeOpening(LineOpening opening, bool retry)
{
    char text[160];
    if (!opening.line) {
        ++m_failures;
        m_checkDelayMs.store(LineRetryMs(m_map.Resolve(m_portName), m_failures));
        const bool lost = retry || opening.worthRetrying;
        m_state.store(lost ? LineState::kLost : LineState::kNoPort);
        if (retry)
            return -1;
        std::snprintf(text, sizeof text, "Cannot open communication port '%s'", m_portName);
        ShowMessageBox(m_owner, text, kOpenCaption, kMbOk, opening.detail.c_str());
        return -1;
    }

    // The reader gets the handle only once the line is set up as far as it goes.
    std::string detail;
    const LineSetup setup = opening.line->Configure(m_baudRate, detail);
    m_failures = 0;
    m_checkDelayMs.store(LineRetryMs(m_map.Resolve(m_portName), 0));
    m_state.store(setup != LineSetup::kDone ? LineState::kOpenUnconfigured
                                            : (retry ? LineState::kReopened : LineState::kOpen));
    ApplyWantedSignals(*opening.line);
    if (m_modemListener)
        m_modemWatch.Start(*opening.line, *m_modemListener);
    m_handle.store(opening.line.release());
    switch (setup) {
    case LineSetup::kDone:
        return 0;
    case LineSetup::kCannotRead:
        std::snprintf(text, sizeof text, "Cannot get status of communication port '%s'", m_portName);
        break;
    case LineSetup::kRejected:
        std::snprintf(text, sizeof text, "Failed to setup communication port '%s'/%d", m_portName,
                      m_baudRate);
        break;
    }
    if (!retry)
        ShowMessageBox(m_owner, text, kOpenCaption, kMbOk, detail.c_str());
    return -1;
}

bool CComPort::ReaderUses(const SerialLine* line) const
{
    return m_readerHandle.load() == line;
}

void CComPort::TakeAndCloseHandle(int waitMs)
{
    // The wait protects a read on the old handle; with none held there is
    // nothing to protect (the first open at start-up, a reopen after a failed open).
    SerialLine* line = m_handle.exchange(nullptr);
    if (line == nullptr)
        return;
    m_modemWatch.Stop();
    SleepMs(waitMs);
    // The reader may have taken the handle just before the field was cleared;
    // its read ends within the read time-outs.
    while (ReaderUses(line))
        SleepMs(1);
    delete line;
}

int CComPort::ComClose()
{
    // An open still under way is dropped; its thread closes what it opens.
    m_opening.reset();
    TakeAndCloseHandle(m_timings.closeWaitMs);
    m_state.store(LineState::kNoPort);
    return 0;
}

int CComPort::ComReopen(const char* name, int baud)
{
    char requested[kPortNameSize];
    std::snprintf(requested, sizeof requested, "%s", name ? name : "");
    if (baud == m_baudRate && std::strcmp(requested, m_portName) == 0)
        return 0;
    ComClose();
    std::memcpy(m_portName, requested, sizeof m_portName);
    m_baudRate = baud;
    return ComOpen(m_portName);
}

int CComPort::ComSend(const char* bytes, int length)
{
    if (bytes == nullptr)
        length = 0;
    else if (length < 0)
        length = static_cast<int>(std::strlen(bytes));

    SerialLine* line = m_handle.load();
    if (line == nullptr) {
        ShowMessageBox(m_owner, "Failed to transmit", kSendCaption, kMbOk, "no port is open");
        return -1;
    }
    if (length == 0)
        return 0;

    const long long timeoutMs = WriteTimeoutMs(length);
    const PortWriteResult result = line->Write(bytes, length, timeoutMs);
    if (LineTap* tap = m_tap.load(); tap && result.written > 0)
        tap->Written(reinterpret_cast<const unsigned char*>(bytes), static_cast<int>(result.written));
    if (result.error != 0) {
        ShowMessageBox(m_owner, "Failed to transmit", kSendCaption, kMbOk,
                       SystemDetail(line->Where(), result.error).c_str());
        return -1;
    }
    if (result.written < length) {
        char detail[96];
        std::snprintf(detail, sizeof detail, "%lld of %d bytes written in %lld ms",
                      result.written, length, timeoutMs);
        ShowMessageBox(m_owner, "Failed to transmit (Time out?)", kSendCaption, kMbOk, detail);
        return -1;
    }
    return 0;
}

PortWriteResult CComPort::WritePart(const char* bytes, int length, int waitMs)
{
    SerialLine* line = m_handle.load();
    if (line == nullptr)
        return {0, ENOTCONN};
    if (length <= 0)
        return {0, 0};
    const PortWriteResult result = line->Write(bytes, length, waitMs);
    if (LineTap* tap = m_tap.load(); tap && result.written > 0)
        tap->Written(reinterpret_cast<const unsigned char*>(bytes), static_cast<int>(result.written));
    return result;
}

long long CComPort::WriteTimeoutMs(int length) const
{
    return static_cast<long long>(m_timings.writePerByteMs) * length + m_timings.writeConstantMs;
}

LineState CComPort::CheckLine()
{
    return Revive(nullptr);
}

LineState CComPort::CheckLineAt(const std::string& path)
{
    return Revive(&path);
}

LineState CComPort::Revive(const std::string* place)
{
    if (m_checking)
        return m_state.load();
    m_checking = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_checking};

    if (SerialLine* line = m_handle.load(); line != nullptr && line->HasNote()) {
        const std::string note = line->TakeNote();
        // Once for the port: a line opened again after a loss has the same server.
        if (!m_noteShown) {
            m_noteShown = true;
            char text[160];
            std::snprintf(text, sizeof text, "Communication port '%s' did not confirm a request", m_portName);
            ShowMessageBox(m_owner, text, kLineCaption, kMbOk, note.c_str());
        }
    }
    if (m_opening) {
        if (m_opening->Wait(0)) {
            const std::unique_ptr<LineOpener> opener = std::move(m_opening);
            TakeOpening(opener->Take(), m_openingIsRetry);
        }
        return m_state.load();
    }
    if (m_state.load() != LineState::kLost)
        return m_state.load();
    // The reader stopped using the handle when it saw the hang-up, so only a
    // read in progress can hold it up; no close wait is needed.
    const SerialLine* lost = m_handle.load();
    const std::string why = lost ? lost->LossDetail() : std::string();
    TakeAndCloseHandle(0);
    if (!why.empty()) {
        char text[160];
        std::snprintf(text, sizeof text, "Lost communication port '%s'", m_portName);
        ShowMessageBox(m_owner, text, kLineCaption, kMbOk, why.c_str());
    }
    if (place && place->empty())
        return m_state.load();
    std::unique_ptr<LineOpener> opener = place ? StartOpenAt(*place) : StartOpen(m_portName);
    if (opener->Wait(m_timings.openWaitMs)) {
        TakeOpening(opener->Take(), true);
    } else {
        m_opening = std::move(opener);
        m_openingIsRetry = true;
        m_checkDelayMs.store(kPendingLookMs);
    }
    return m_state.load();
}

bool CComPort::AwaitsLine() const
{
    const LineState state = m_state.load();
    return state == LineState::kLost || state == LineState::kConnecting;
}

// The user-interface thread is the only one that replaces the line, so the
// line it loads stays valid through the call.
int CComPort::GetModemLines(int& bits)
{
    SerialLine* line = m_handle.load();
    return line ? line->GetModemLines(bits) : NoLine();
}

int CComPort::SetModemLines(int bits, bool on)
{
    SerialLine* line = m_handle.load();
    return line ? line->SetModemLines(bits, on) : NoLine();
}

int CComPort::SetBreak(bool on)
{
    SerialLine* line = m_handle.load();
    return line ? line->SetBreak(on) : NoLine();
}

int CComPort::WantedSignal(LineSignal signal) const
{
    return signal == LineSignal::kDtr ? m_wantedDtr : m_wantedRts;
}

int CComPort::SignalFailed(SerialLine& line, const char* what, int err)
{
    char text[160];
    // A driver without the modem-line calls answers ENOTTY (a pseudo-terminal)
    // or EINVAL; that is a fact of the device, said once, not a fault each time.
    if (err == ENOTTY || err == EINVAL) {
        if (m_noModemLinesSaid)
            return -1;
        m_noModemLinesSaid = true;
        std::snprintf(text, sizeof text, "Communication port '%s' has no modem lines (DTR, RTS, break)",
                      m_portName);
        const std::string detail = line.Where() +
                                   ": the device has no modem lines (a pseudo-terminal or a raw network line "
                                   "has none); line signals are not said again in this session";
        ShowMessageBox(m_owner, text, kSignalCaption, kMbOk, detail.c_str());
        return -1;
    }
    std::snprintf(text, sizeof text, "Cannot set %s on communication port '%s'", what, m_portName);
    ShowMessageBox(m_owner, text, kSignalCaption, kMbOk, SystemDetail(line.Where(), err).c_str());
    return -1;
}

void CComPort::ApplyWantedSignals(SerialLine& line)
{
    for (const auto& [wanted, bit, name] : {std::tuple{m_wantedDtr, TIOCM_DTR, "DTR"},
                                           std::tuple{m_wantedRts, TIOCM_RTS, "RTS"}}) {
        if (wanted >= 0 && line.SetModemLines(bit, wanted != 0) != 0)
            SignalFailed(line, name, errno);
    }
}

int CComPort::SetSignal(LineSignal signal, bool on)
{
    (signal == LineSignal::kDtr ? m_wantedDtr : m_wantedRts) = on ? 1 : 0;
    SerialLine* line = m_handle.load();
    if (line == nullptr)
        return 0;
    const bool dtr = signal == LineSignal::kDtr;
    if (line->SetModemLines(dtr ? TIOCM_DTR : TIOCM_RTS, on) != 0)
        return SignalFailed(*line, dtr ? "DTR" : "RTS", errno);
    return 0;
}

int CComPort::ComBreak(bool on)
{
    SerialLine* line = m_handle.load();
    if (line == nullptr) {
        if (on)
            ShowMessageBox(m_owner, "Cannot send a break", kSignalCaption, kMbOk, "no port is open");
        return -1;
    }
    int bits = 0;
    if (on && line->GetModemLines(bits) != 0 && (errno == ENOTTY || errno == EINVAL))
        return SignalFailed(*line, "a break", errno);
    if (line->SetBreak(on) != 0)
        return SignalFailed(*line, "a break", errno);
    return 0;
}

LineState CComPort::GetLineState() const
{
    return m_state.load();
}

bool CComPort::HasHandle() const
{
    return m_handle.load() != nullptr;
}

ReadResult CComPort::ReadPort(unsigned char* buffer, int size)
{
    SerialLine* line = m_handle.load();
    if (line == nullptr)
        return {ReadStatus::kNoPort, 0};
    // Announce the handle, then check it is still the current one: ComClose
    // clears the field first and looks at the announcement after, so one of
    // the two sees the other.
    m_readerHandle.store(line);
    if (m_handle.load() != line || m_state.load() == LineState::kLost) {
        m_readerHandle.store(nullptr);
        return {ReadStatus::kNoPort, 0};
    }

    const PortReadResult got = line->Read(
        buffer, size,
        {kReadEnough, m_timings.readIntervalMs, m_timings.readTotalMs, m_timings.readGatherMs});
    ReadResult result{got.count > 0 ? ReadStatus::kData : ReadStatus::kNothing, got.count, line->HasNote()};
    if (LineTap* tap = m_tap.load(); tap && got.count > 0)
        tap->Read(buffer, got.count);
    if (got.count == 0 && got.hungUp) {
        // Still announced, so the user-interface thread has not replaced the
        // handle, and its own state changes come after this one.
        LineState seen = m_state.load();
        while (seen != LineState::kNoPort && seen != LineState::kLost &&
               !m_state.compare_exchange_weak(seen, LineState::kLost)) {
        }
        result.status = ReadStatus::kHungUp;
    }
    m_readerHandle.store(nullptr);
    return result;
}
