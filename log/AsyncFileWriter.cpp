#include "log/AsyncFileWriter.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(200);
// Written at once rather than at the next interval: a fast line fills this in
// well under 200 ms and the buffer should not grow without bound.
constexpr std::size_t kEagerBytes = 256 * 1024;

} // namespace

AsyncFileWriter::~AsyncFileWriter()
{
    Close();
}

int AsyncFileWriter::Open(const std::string& path, bool startAnew, std::string& error)
{
    Close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (startAnew ? O_TRUNC : 0),
                          0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fd = fd;
        m_path = path;
        m_pending.clear();
        m_appended = m_handled = 0;
        m_stop = false;
        m_failure.clear();
    }
    m_writer = std::thread(&AsyncFileWriter::WriterThread, this);
    return 0;
}

int AsyncFileWriter::Close()
{
    if (m_fd < 0)
        return m_failure.empty() ? 0 : -1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_writer.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (::close(m_fd) != 0 && m_failure.empty())
        m_failure = std::strerror(errno);
    m_fd = -1;
    return m_failure.empty() ? 0 : -1;
}

void AsyncFileWriter::Append(std::string_view bytes)
{
    if (bytes.empty())
        return;
    bool eager = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_fd < 0 || m_stop)
            return;
        m_appended += bytes.size();
        if (!m_failure.empty()) {
            m_handled += bytes.size();
            return;
        }
        m_pending.append(bytes);
        eager = m_pending.size() >= kEagerBytes;
    }
    if (eager)
        m_wake.notify_one();
}

void AsyncFileWriter::Flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_fd < 0)
        return;
    const std::size_t target = m_appended;
    m_flushWanted = true;
    m_wake.notify_one();
    m_written.wait(lock, [&] { return m_handled >= target; });
}

std::string AsyncFileWriter::Failure() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

void AsyncFileWriter::WriterThread()
{
    std::string batch;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, kFlushInterval,
                        [this] { return m_stop || m_flushWanted || m_pending.size() >= kEagerBytes; });
        m_flushWanted = false;
        batch.swap(m_pending);
        const bool stopping = m_stop;
        const bool failed = !m_failure.empty();
        lock.unlock();
        const bool ok = failed || batch.empty() || WriteAll(batch);
        const int reason = errno;
        lock.lock();
        if (!ok && m_failure.empty())
            m_failure = std::strerror(reason);
        m_handled += batch.size();
        batch.clear();
        m_written.notify_all();
        if (stopping && m_pending.empty())
            return;
    }
}

bool AsyncFileWriter::WriteAll(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        // A write that takes nothing without an error would loop for ever.
        if (put == 0)
            errno = ENOSPC;
        return false;
    }
    return true;
}
