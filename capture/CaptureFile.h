#pragma once

#include "capture/Pcapng.h"
#include "log/AsyncFileWriter.h"
#include "serial/LineTap.h"

#include <string>

// A raw capture of the line in pcapng: every chunk read from it and every
// block written to it, with its time. Record may be called from the reader's
// thread and the user-interface thread alike; the file is written by a thread
// of its own.
class CaptureFile final : public LineTap {
public:
    // Starts a capture of the port named portName (and description) at rate.
    // 0, or -1 with the OS's reason in error.
    int Open(const std::string& path, const std::string& portName, const std::string& description,
             int rate, std::string& error);
    int Close() { return m_file.Close(); }

    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& Path() const { return m_file.Path(); }
    std::string Failure() const { return m_file.Failure(); }

    void Record(CaptureDirection direction, const unsigned char* bytes, std::size_t count);

    void Read(const unsigned char* bytes, int count) override
    {
        Record(CaptureDirection::Inbound, bytes, static_cast<std::size_t>(count));
    }
    void Written(const unsigned char* bytes, int count) override
    {
        Record(CaptureDirection::Outbound, bytes, static_cast<std::size_t>(count));
    }

private:
    AsyncFileWriter m_file;
};
