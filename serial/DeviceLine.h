#pragma once

#include "serial/LineDriver.h"
#include "serial/SerialLine.h"

#include <functional>
#include <memory>
#include <string>

#include <termios.h>

// A terminal device of this machine, opened exclusively and non-blocking;
// reads and writes keep the line's time-outs with poll(). The rate and frame
// are set through termios (a rate without a speed constant through the
// driver's arbitrary rate) and read back, since a driver may take only part
// of a change; a refused change leaves the settings the device had.
class DeviceLine final : public SerialLine {
public:
    // Writes termios settings to the device; the port's own seam, so that a
    // test can stand for a driver that refuses them.
    using ApplySettings = std::function<int(int fd, const termios& settings)>;

    // The open line, or nullptr with detail saying why not.
    static std::unique_ptr<DeviceLine> Open(const std::string& path, LineDriver& driver,
                                            ApplySettings apply, std::string& detail);
    ~DeviceLine() override;

    DeviceLine(const DeviceLine&) = delete;
    DeviceLine& operator=(const DeviceLine&) = delete;

    LineSetup Configure(int baud, std::string& detail) override;
    PortReadResult Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts) override;
    PortWriteResult Write(const char* bytes, long long length, long long timeoutMs) override;
    int GetModemLines(int& bits) override;
    int WaitModemChange() override;
    int SetModemLines(int bits, bool on) override;
    int SetBreak(bool on) override;
    const std::string& Where() const override { return m_path; }

private:
    DeviceLine(int fd, std::string path, LineDriver& driver, ApplySettings apply);

    const int m_fd;
    const std::string m_path;
    LineDriver& m_driver;
    ApplySettings m_apply;
};
