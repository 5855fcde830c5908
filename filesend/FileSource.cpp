#include "filesend/FileSource.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadSize = 64 * 1024;

} // namespace

FileSource::~FileSource()
{
    if (m_fd >= 0)
        close(m_fd);
}

std::string FileSource::Failure(const char* what, int reason) const
{
    return std::string("Cannot ") + what + " " + m_path + ": " + std::strerror(reason);
}

int FileSource::Open(const std::string& path, std::string& error)
{
    m_path = path;
    // Non-blocking, so that naming a FIFO cannot hang the open; such files are refused below.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = Failure("read", errno);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        error = Failure("read", errno);
        close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = Failure("send", S_ISDIR(info.st_mode) ? EISDIR : EINVAL) + " (only a regular file can be sent)";
        close(fd);
        return -1;
    }
    m_fd = fd;
    m_size = static_cast<long long>(info.st_size);
    return 0;
}

bool FileSource::Fill(std::string& error)
{
    if (m_atEnd)
        return true;
    m_buffer.erase(0, m_start);
    m_start = 0;
    const std::size_t had = m_buffer.size();
    m_buffer.resize(had + kReadSize);
    ssize_t got;
    do {
        got = read(m_fd, m_buffer.data() + had, kReadSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        const int reason = errno;
        m_buffer.resize(had);
        error = Failure("read", reason);
        return false;
    }
    m_buffer.resize(had + static_cast<std::size_t>(got));
    m_atEnd = got == 0;
    return true;
}

int FileSource::NextBytes(std::size_t max, bool cutAtLineFeed, std::string& out, std::string& error)
{
    out.clear();
    if (m_buffer.size() - m_start < max && !Fill(error))
        return -1;
    std::size_t count = std::min(max, m_buffer.size() - m_start);
    if (cutAtLineFeed) {
        const std::size_t feed = m_buffer.find('\n', m_start);
        if (feed != std::string::npos && feed - m_start < count)
            count = feed - m_start + 1;
    }
    out.assign(m_buffer, m_start, count);
    m_start += count;
    m_consumed += static_cast<long long>(count);
    return 0;
}

int FileSource::NextLine(std::string& line, std::string& error)
{
    std::size_t feed = m_buffer.find('\n', m_start);
    while (feed == std::string::npos && !m_atEnd) {
        if (m_buffer.size() - m_start > kMaxLine) {
            error = "Cannot send " + m_path + ": a line is longer than " + std::to_string(kMaxLine) + " bytes";
            return -1;
        }
        const std::size_t searched = m_buffer.size() - m_start;
        if (!Fill(error))
            return -1;
        feed = m_buffer.find('\n', m_start + searched);
    }
    std::size_t end = feed == std::string::npos ? m_buffer.size() : feed;
    if (end == m_start && feed == std::string::npos)
        return 0;
    const std::size_t next = feed == std::string::npos ? end : feed + 1;
    if (end - m_start > kMaxLine) {
        error = "Cannot send " + m_path + ": a line is longer than " + std::to_string(kMaxLine) + " bytes";
        return -1;
    }
    if (feed != std::string::npos && end > m_start && m_buffer[end - 1] == '\r')
        --end;
    line.assign(m_buffer, m_start, end - m_start);
    m_consumed += static_cast<long long>(next - m_start);
    m_start = next;
    return 1;
}
