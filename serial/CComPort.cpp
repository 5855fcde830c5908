#include "serial/CComPort.h"

#include "serial/LineRate.h"
#include "serial/LineSettings.h"
#include "serial/PortErrors.h"
#include "serial/PortIo.h"
#include "xrate/MessageBox.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr char kOpenCaption[] = "Tamsel::ComOpen";
constexpr char kSendCaption[] = "Tamsel::ComSend";

void SleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CloseDevice(int fd)
{
    ioctl(fd, TIOCNXCL);
    close(fd);
}

} // namespace

struct CComPort::OpenResult {
    int fd;              // the open device, or -1
    std::string path;    // where the name led
    std::string detail;  // why it could not be opened
};

enum class CComPort::LineSetup { kDone, kCannotRead, kRejected };

CComPort::CComPort(void* owner, PortTimings timings) : m_owner(owner), m_timings(timings) {}

CComPort::~CComPort()
{
    const int fd = m_handle.exchange(-1);
    if (fd >= 0) {
        while (ReaderUses(fd))
            SleepMs(1);
        CloseDevice(fd);
    }
}

void CComPort::SetPortMap(const PortMap& map)
{
    m_map = map;
}

void CComPort::SetLineDriver(LineDriver* driver)
{
    m_driver = driver ? driver : &SystemLineDriver();
}

CComPort::OpenResult CComPort::OpenDevice(const char* name) const
{
    const std::string path = m_map.Resolve(name);
    if (path.empty())
        return {-1, path, UnmappedDetail(name)};
    // Non-blocking: the open must not wait for a carrier, and reads and
    // writes keep their time-outs by poll().
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {-1, path, OpenFailureDetail(path, errno)};
    // flock keeps out every other opener that asks, root included; TIOCEXCL
    // also keeps out programs that do not ask, where the device supports it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        return {-1, path, OpenFailureDetail(path, err)};
    }
    ioctl(fd, TIOCEXCL);
    return {fd, path, {}};
}

CComPort::LineSetup CComPort::ConfigureLine(int fd, const std::string& path, std::string& detail)
{
    termios current{};
    if (tcgetattr(fd, &current) != 0) {
        detail = SystemDetail(path, errno);
        return LineSetup::kCannotRead;
    }
    speed_t speed = B0;
    const bool standard = RateToSpeed(m_baudRate, speed);
    if (!standard && !IsLineRate(m_baudRate)) {
        char reason[96];
        std::snprintf(reason, sizeof reason, ": the rate %d bps is outside %d to %d bps", m_baudRate,
                      kMinLineRate, kMaxLineRate);
        detail = path + reason;
        return LineSetup::kRejected;
    }
    // A rate without a speed constant goes in apart, after the frame; until
    // then the line keeps the rate it has.
    int previousRate = 0;
    int previousInputRate = 0;
    if (!standard) {
        speed = cfgetospeed(&current);
        ReadLineRates(fd, previousRate, previousInputRate);
    }
    // The old record brings back a constant rate; an arbitrary one the
    // kernel takes from the rate now set, so it goes back in apart.
    const auto restore = [&] {
        tcsetattr(fd, TCSANOW, &current);
        int output = 0;
        int input = 0;
        if (!standard && previousRate > 0 && ReadLineRates(fd, output, input) == 0 && output != previousRate)
            m_driver->SetArbitraryRate(fd, previousRate);
    };
    const termios wanted = MakeLineSettings(current, speed);
    if (ApplyLineSettings(fd, wanted) != 0) {
        detail = SystemDetail(path, errno);
        tcsetattr(fd, TCSANOW, &current);
        return LineSetup::kRejected;
    }
    if (!standard && m_driver->SetArbitraryRate(fd, m_baudRate) != 0) {
        detail = SystemDetail(path, errno);
        restore();
        return LineSetup::kRejected;
    }
    termios got{};
    int gotRate = 0;
    int gotInputRate = 0;
    const bool taken = standard ? tcgetattr(fd, &got) == 0 && LineSettingsTaken(wanted, got)
                                : tcgetattr(fd, &got) == 0 && LineFrameTaken(wanted, got) &&
                                      ReadLineRates(fd, gotRate, gotInputRate) == 0 &&
                                      RateTaken(m_baudRate, gotRate) && RateTaken(m_baudRate, gotInputRate);
    if (!taken) {
        detail = path + ": the device did not take the line settings";
        restore();
        return LineSetup::kRejected;
    }
    return LineSetup::kDone;
}

int CComPort::ApplyLineSettings(int fd, const termios& settings)
{
    return tcsetattr(fd, TCSANOW, &settings);
}

int CComPort::ComOpen(const char* name)
{
    if (name == nullptr)
        name = "";
    if (HasHandle())
        ComClose();

    char text[160];
    OpenResult opened = OpenDevice(name);
    if (opened.fd < 0) {
        m_state.store(LineState::kNoPort);
        std::snprintf(text, sizeof text, "Cannot open communication port '%s'", name);
        ShowMessageBox(m_owner, text, kOpenCaption, kMbOk, opened.detail.c_str());
        return -1;
    }

    // The reader gets the handle only once the line is set up as far as it goes.
    std::string detail;
    const LineSetup setup = ConfigureLine(opened.fd, opened.path, detail);
    m_state.store(setup == LineSetup::kDone ? LineState::kOpen : LineState::kOpenUnconfigured);
    m_handle.store(opened.fd);
    switch (setup) {
    case LineSetup::kDone:
        return 0;
    case LineSetup::kCannotRead:
        std::snprintf(text, sizeof text, "Cannot get status of communication port '%s'", name);
        break;
    case LineSetup::kRejected:
        std::snprintf(text, sizeof text, "Failed to setup communication port '%s'/%d", name,
                      m_baudRate);
        break;
    }
    ShowMessageBox(m_owner, text, kOpenCaption, kMbOk, detail.c_str());
    return -1;
}

bool CComPort::ReaderUses(int fd) const
{
    return m_readerHandle.load() == fd;
}

void CComPort::TakeAndCloseHandle(int waitMs)
{
    // The wait protects a read on the old handle; with none held there is
    // nothing to protect (the first open at start-up, a reopen after a failed open).
    const int fd = m_handle.exchange(-1);
    if (fd < 0)
        return;
    SleepMs(waitMs);
    // The reader may have taken the handle just before the field was cleared;
    // its read ends within the read time-outs.
    while (ReaderUses(fd))
        SleepMs(1);
    CloseDevice(fd);
}

int CComPort::ComClose()
{
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

    const int fd = m_handle.load();
    if (fd < 0) {
        ShowMessageBox(m_owner, "Failed to transmit", kSendCaption, kMbOk, "no port is open");
        return -1;
    }
    if (length == 0)
        return 0;

    const long long timeoutMs =
        static_cast<long long>(m_timings.writePerByteMs) * length + m_timings.writeConstantMs;
    const PortWriteResult result = WriteWithin(fd, bytes, length, timeoutMs);
    if (LineTap* tap = m_tap.load(); tap && result.written > 0)
        tap->Written(reinterpret_cast<const unsigned char*>(bytes), static_cast<int>(result.written));
    if (result.error != 0) {
        ShowMessageBox(m_owner, "Failed to transmit", kSendCaption, kMbOk,
                       SystemDetail(m_map.Resolve(m_portName), result.error).c_str());
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

LineState CComPort::CheckLine()
{
    if (m_state.load() != LineState::kLost)
        return m_state.load();
    // The reader stopped using the handle when it saw the hang-up, so only a
    // read in progress can hold it up; no close wait is needed.
    TakeAndCloseHandle(0);
    OpenResult opened = OpenDevice(m_portName);
    if (opened.fd < 0)
        return LineState::kLost;
    std::string detail;
    const LineSetup setup = ConfigureLine(opened.fd, opened.path, detail);
    m_state.store(setup == LineSetup::kDone ? LineState::kReopened : LineState::kOpenUnconfigured);
    m_handle.store(opened.fd);
    return m_state.load();
}

LineState CComPort::GetLineState() const
{
    return m_state.load();
}

bool CComPort::HasHandle() const
{
    return m_handle.load() >= 0;
}

ReadResult CComPort::ReadPort(unsigned char* buffer, int size)
{
    const int fd = m_handle.load();
    if (fd < 0)
        return {ReadStatus::kNoPort, 0};
    // Announce the handle, then check it is still the current one: ComClose
    // clears the field first and looks at the announcement after, so one of
    // the two sees the other.
    m_readerHandle.store(fd);
    if (m_handle.load() != fd || m_state.load() == LineState::kLost) {
        m_readerHandle.store(-1);
        return {ReadStatus::kNoPort, 0};
    }

    const PortReadResult got =
        ReadWithTimeouts(fd, buffer, size, kReadEnough, m_timings.readIntervalMs,
                         m_timings.readTotalMs, m_timings.readGatherMs);
    ReadResult result{got.count > 0 ? ReadStatus::kData : ReadStatus::kNothing, got.count};
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
    m_readerHandle.store(-1);
    return result;
}
