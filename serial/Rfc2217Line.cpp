#include "serial/Rfc2217Line.h"

#include "serial/LineRate.h"
#include "serial/SocketIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Telnet commands are a few bytes; these never wait long on a live connection.
constexpr long long kCommandSendMs = 500;

// Data that arrives while the set-up waits for its answers is held until the
// reader takes it. A server that floods meanwhile is left waiting in the
// connection's own buffers past this much, so memory stays bounded and no
// byte is lost.
constexpr std::size_t kEarlyDataLimit = 64 * 1024;

// How many data bytes of the block went out whole when only sent of its
// encoded bytes did.
long long DataBytesSent(const telnet::TelnetClient& client, const char* bytes, long long length, long long sent)
{
    long long data = 0;
    long long wire = 0;
    std::string one;
    for (; data < length; ++data) {
        one.clear();
        client.EncodeData(bytes + data, 1, one);
        if (wire + static_cast<long long>(one.size()) > sent)
            break;
        wire += static_cast<long long>(one.size());
    }
    return data;
}

} // namespace

Rfc2217Line::Rfc2217Line(int fd, std::string where) : TcpLine(fd, std::move(where)) {}

std::unique_ptr<Rfc2217Line> Rfc2217Line::Start(int fd, std::string where, int baud, int answerMs)
{
    std::unique_ptr<Rfc2217Line> line(new Rfc2217Line(fd, std::move(where)));
    line->SetUp(baud, answerMs);
    return line;
}

bool Rfc2217Line::Send(const std::string& wire)
{
    if (wire.empty())
        return true;
    std::lock_guard<std::mutex> lock(m_send);
    const PortWriteResult sent = SendWithin(Socket(), wire.data(), static_cast<long long>(wire.size()), kCommandSendMs);
    return sent.error == 0 && sent.written == static_cast<long long>(wire.size());
}

int Rfc2217Line::Take(unsigned char* bytes, int count)
{
    std::string replies;
    int kept = 0;
    {
        std::lock_guard<std::mutex> lock(m_session);
        kept = m_client.Receive(bytes, count, replies);
    }
    Send(replies);
    return kept;
}

void Rfc2217Line::SetUp(int baud, int answerMs)
{
    using Clock = std::chrono::steady_clock;
    m_baud = baud;
    m_answerMs = answerMs;
    std::string opening;
    {
        std::lock_guard<std::mutex> lock(m_session);
        m_client.Start(opening);
    }
    Send(opening);
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(answerMs);
    bool asked = false;
    unsigned char buffer[512];
    for (;;) {
        bool settled = false;
        std::string request;
        {
            std::lock_guard<std::mutex> lock(m_session);
            const telnet::Answer comPort = m_client.ComPort();
            if (comPort == telnet::Answer::kAccepted && !asked) {
                m_client.SetBaudRate(static_cast<std::uint32_t>(baud), request);
                m_client.SetFrame8N1(request);
                asked = true;
            }
            settled = comPort == telnet::Answer::kRefused ||
                      (asked && m_client.BaudRate().answered > 0 && m_client.Frame().answered > 0);
        }
        Send(request);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (settled || left <= 0 || m_early.size() >= kEarlyDataLimit)
            break;
        pollfd entry{Socket(), POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0)
            continue;
        const ssize_t got = read(Socket(), buffer, sizeof buffer);
        if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR)))
            break;  // the reader will find the connection gone
        if (got > 0) {
            const int kept = Take(buffer, static_cast<int>(got));
            m_early.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(kept));
        }
    }

    std::lock_guard<std::mutex> lock(m_session);
    const std::string within = std::to_string(answerMs) + " ms";
    if (m_client.ComPort() == telnet::Answer::kRefused) {
        m_setup = LineSetup::kRejected;
        m_setupDetail = Where() + ": the server refused the COM-PORT-OPTION (RFC 2217); the line keeps the "
                                  "server's own settings";
    } else if (m_client.ComPort() != telnet::Answer::kAccepted) {
        m_setup = LineSetup::kRejected;
        m_setupDetail = Where() + ": the server did not answer the COM-PORT-OPTION (RFC 2217) within " + within +
                        "; the line keeps the server's own settings";
    } else if (m_client.BaudRate().answered == 0) {
        m_setup = LineSetup::kRejected;
        m_setupDetail = Where() + ": the server did not confirm the rate within " + within;
    } else if (!RateTaken(baud, static_cast<int>(m_client.BaudRate().value))) {
        m_setup = LineSetup::kRejected;
        m_setupDetail = Where() + ": the server runs the line at " + std::to_string(m_client.BaudRate().value) +
                        " bps instead";
    }
}

LineSetup Rfc2217Line::Configure(int baud, std::string& detail)
{
    // The set-up asked for the rate the line was opened for; the port opens
    // a line anew for another rate.
    if (baud != m_baud) {
        detail = Where() + ": the line was opened for " + std::to_string(m_baud) + " bps";
        return LineSetup::kRejected;
    }
    detail = m_setupDetail;
    return m_setup;
}

PortReadResult Rfc2217Line::Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts)
{
    if (!m_early.empty()) {
        const int count = static_cast<int>(std::min<std::size_t>(m_early.size(), static_cast<std::size_t>(size)));
        std::memcpy(buffer, m_early.data(), static_cast<std::size_t>(count));
        m_early.erase(0, static_cast<std::size_t>(count));
        return {count, false, 0};
    }
    PortReadResult got = TcpLine::Read(buffer, size, timeouts);
    got.count = Take(buffer, got.count);
    NoteSilentControl();
    return got;
}

PortWriteResult Rfc2217Line::Write(const char* bytes, long long length, long long timeoutMs)
{
    std::string wire;
    {
        std::lock_guard<std::mutex> lock(m_session);
        m_client.EncodeData(bytes, static_cast<std::size_t>(length), wire);
    }
    PortWriteResult sent{0, 0};
    {
        std::lock_guard<std::mutex> lock(m_send);
        sent = SendWithin(Socket(), wire.data(), static_cast<long long>(wire.size()), timeoutMs);
    }
    if (sent.written < static_cast<long long>(wire.size())) {
        std::lock_guard<std::mutex> session(m_session);
        sent.written = DataBytesSent(m_client, bytes, length, sent.written);
    } else {
        sent.written = length;
    }
    return sent;
}

std::string Rfc2217Line::AskControl(unsigned char value)
{
    std::string request;
    if (m_client.Control().answered == m_client.Control().asked)
        m_controlAskedAt = std::chrono::steady_clock::now();
    m_client.SetControl(value, request);
    return request;
}

void Rfc2217Line::NoteSilentControl()
{
    std::lock_guard<std::mutex> lock(m_session);
    if (m_controlNoted || m_client.Control().answered >= m_client.Control().asked ||
        std::chrono::steady_clock::now() - m_controlAskedAt < std::chrono::milliseconds(m_answerMs))
        return;
    m_controlNoted = true;
    m_note = Where() + ": the server did not confirm DTR, RTS or break within " + std::to_string(m_answerMs) +
             " ms (ser2net does not for a pseudo-terminal); they are sent on without waiting for it";
    m_hasNote.store(true);
}

std::string Rfc2217Line::TakeNote()
{
    std::lock_guard<std::mutex> lock(m_session);
    m_hasNote.store(false);
    return std::move(m_note);
}

bool Rfc2217Line::ComPortTaken()
{
    std::lock_guard<std::mutex> lock(m_session);
    return m_client.ComPort() == telnet::Answer::kAccepted;
}

int Rfc2217Line::GetModemLines(int& bits)
{
    if (!ComPortTaken())
        return TcpLine::GetModemLines(bits);
    std::lock_guard<std::mutex> lock(m_session);
    const int modem = std::max(m_client.ModemState(), 0);
    bits = m_driven;
    if (modem & telnet::kModemCts)
        bits |= TIOCM_CTS;
    if (modem & telnet::kModemDsr)
        bits |= TIOCM_DSR;
    if (modem & telnet::kModemRi)
        bits |= TIOCM_RNG;
    if (modem & telnet::kModemCd)
        bits |= TIOCM_CAR;
    return 0;
}

int Rfc2217Line::SetModemLines(int bits, bool on)
{
    if (!ComPortTaken())
        return TcpLine::SetModemLines(bits, on);
    std::string request;
    {
        std::lock_guard<std::mutex> lock(m_session);
        if (bits & TIOCM_DTR)
            request += AskControl(on ? telnet::kDtrOn : telnet::kDtrOff);
        if (bits & TIOCM_RTS)
            request += AskControl(on ? telnet::kRtsOn : telnet::kRtsOff);
        m_driven = on ? (m_driven | (bits & (TIOCM_DTR | TIOCM_RTS))) : (m_driven & ~bits);
    }
    if (!Send(request)) {
        errno = EIO;
        return -1;
    }
    return 0;
}

int Rfc2217Line::SetBreak(bool on)
{
    if (!ComPortTaken())
        return TcpLine::SetBreak(on);
    std::string request;
    {
        std::lock_guard<std::mutex> lock(m_session);
        request = AskControl(on ? telnet::kBreakOn : telnet::kBreakOff);
    }
    if (!Send(request)) {
        errno = EIO;
        return -1;
    }
    return 0;
}
