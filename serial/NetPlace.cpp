#include "serial/NetPlace.h"

#include "xrate/TextChars.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

bool ParseNetPlace(std::string_view text, NetPlace& place, std::string& detail)
{
    const std::string written(text);
    std::string_view host;
    std::string_view port;
    if (text.starts_with("[")) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            detail = "'" + written + "' is not [ADDRESS]:PORT";
            return false;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos || text.find(':') != colon) {
            detail = "'" + written + "' is not HOST:PORT";
            return false;
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    int number = 0;
    if (host.empty() || host.find_first_of("/?#@ ") != std::string_view::npos) {
        detail = "'" + written + "' names no host";
        return false;
    }
    if (!ReadDecimal(port, 1, 65535, number)) {
        detail = "'" + written + "' has no TCP port from 1 to 65535";
        return false;
    }
    place.host = std::string(host);
    place.port = number;
    place.text = written;
    return true;
}

namespace {

// Connects fd to address within ms; 0, or the errno of the failure.
int ConnectWithin(int fd, const addrinfo& address, int ms)
{
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return ETIMEDOUT;
        pollfd entry{fd, POLLOUT, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        return error;
    }
}

} // namespace

NetConnection ConnectTo(const NetPlace& place, int connectMs)
{
    NetConnection result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(place.port);
    const int looked = getaddrinfo(place.host.c_str(), service.c_str(), &hints, &found);
    if (looked != 0) {
        result.detail = place.host + ": the name does not resolve (" + gai_strerror(looked) + ")";
        // A look-up that could not be made (no network yet) may work later;
        // a name the resolver does not know will not.
        result.worthRetrying = looked == EAI_AGAIN;
        return result;
    }
    result.worthRetrying = true;
    int error = 0;
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const int fd = socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                              address->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ConnectWithin(fd, *address, connectMs);
        if (error == 0) {
            // Small writes go out at once: a command line is a few bytes.
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            // A server whose machine or cable went away is noticed within
            // about 10 s of quiet, as a pulled adapter is noticed at once,
            // instead of after the system's two hours.
            const int idleS = 5;
            const int intervalS = 2;
            const int probes = 3;
            setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
            setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleS, sizeof idleS);
            setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalS, sizeof intervalS);
            setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
            result.fd = fd;
            break;
        }
        close(fd);
    }
    freeaddrinfo(found);
    if (result.fd < 0)
        result.detail = place.text + ": " + std::strerror(error);
    return result;
}
