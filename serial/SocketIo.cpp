#include "serial/SocketIo.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>

PortWriteResult SendWithin(int fd, const char* bytes, long long length, long long timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    PortWriteResult result{0, 0};
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (result.written < length) {
        const ssize_t put =
            send(fd, bytes + result.written, static_cast<size_t>(length - result.written), MSG_NOSIGNAL);
        if (put > 0) {
            result.written += put;
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN) {
            result.error = errno;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd entry{fd, POLLOUT, 0};
        if (poll(&entry, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
            result.error = errno;
            break;
        }
    }
    return result;
}

bool IsConnectionLost(int err)
{
    return err == ECONNRESET || err == EPIPE || err == ETIMEDOUT || err == EHOSTUNREACH || err == ENETUNREACH ||
           err == ENETDOWN || err == ECONNABORTED || err == ENOTCONN;
}

std::string ConnectionLostDetail(const std::string& where, int err)
{
    if (err == 0)
        return where + ": the server closed the connection";
    return where + ": " + std::strerror(err);
}
