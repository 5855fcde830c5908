#include "serial/TcpLine.h"

#include "serial/SocketIo.h"

#include <cerrno>

#include <unistd.h>

TcpLine::TcpLine(int fd, std::string where) : m_fd(fd), m_where(std::move(where)) {}

TcpLine::~TcpLine()
{
    close(m_fd);
}

LineSetup TcpLine::Configure(int, std::string&)
{
    return LineSetup::kDone;
}

PortReadResult TcpLine::Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts)
{
    PortReadResult got = ReadWithTimeouts(m_fd, buffer, size, timeouts.enough, timeouts.intervalMs,
                                          timeouts.totalMs, timeouts.gatherMs);
    if (got.error != 0 && IsConnectionLost(got.error)) {
        m_lossError = got.error;
        got.error = 0;
        got.hungUp = true;
    }
    return got;
}

PortWriteResult TcpLine::Write(const char* bytes, long long length, long long timeoutMs)
{
    return SendWithin(m_fd, bytes, length, timeoutMs);
}

int TcpLine::GetModemLines(int&)
{
    errno = ENOTTY;
    return -1;
}

int TcpLine::SetModemLines(int, bool)
{
    errno = ENOTTY;
    return -1;
}

int TcpLine::SetBreak(bool)
{
    errno = ENOTTY;
    return -1;
}

std::string TcpLine::LossDetail() const
{
    return ConnectionLostDetail(m_where, m_lossError);
}
