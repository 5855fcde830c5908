#pragma once

#include "serial/SerialLine.h"

#include <string>

// A port served over raw TCP: the bytes on the connection are the bytes on
// the line. The rate and frame are the server's business, and the line has
// no modem lines or break of its own. The connection ending, or failing, is
// the line hanging up; LossDetail says which.
class TcpLine : public SerialLine {
public:
    // Takes over fd, a connected non-blocking socket to where (HOST:PORT).
    TcpLine(int fd, std::string where);
    ~TcpLine() override;

    TcpLine(const TcpLine&) = delete;
    TcpLine& operator=(const TcpLine&) = delete;

    LineSetup Configure(int baud, std::string& detail) override;
    PortReadResult Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts) override;
    PortWriteResult Write(const char* bytes, long long length, long long timeoutMs) override;
    int GetModemLines(int& bits) override;
    int SetModemLines(int bits, bool on) override;
    int SetBreak(bool on) override;
    const std::string& Where() const override { return m_where; }
    std::string LossDetail() const override;

protected:
    int Socket() const { return m_fd; }

private:
    const int m_fd;
    const std::string m_where;
    int m_lossError = 0;  // written by the reader before the port sees the line lost
};
