#include "capture/CaptureFile.h"

#include <chrono>

int CaptureFile::Open(const std::string& path, const std::string& portName, const std::string& description,
                      int rate, std::string& error)
{
    if (m_file.Open(path, true, error) != 0)
        return -1;
    m_file.Append(SectionHeaderBlock());
    m_file.Append(InterfaceBlock(portName, description, static_cast<std::uint64_t>(rate)));
    return 0;
}

void CaptureFile::Record(CaptureDirection direction, const unsigned char* bytes, std::size_t count)
{
    if (count == 0)
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    m_file.Append(PacketBlock(direction, bytes, count, static_cast<std::uint64_t>(micros)));
}
