#include "serial/SocketIo.h"

#include <cerrno>
#include <cstring>

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
