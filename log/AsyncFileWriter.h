#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Appends bytes to a file without making the caller wait for the disk: Append
// only copies into a buffer, and a writer thread of its own writes it out at
// least every 200 ms, at once when much has gathered, and whole at Close. Every
// write is checked: the first that fails ends the writing (what was written
// stays in the file) and its reason is kept for the owner to report once.
class AsyncFileWriter {
public:
    AsyncFileWriter() = default;
    ~AsyncFileWriter();

    AsyncFileWriter(const AsyncFileWriter&) = delete;
    AsyncFileWriter& operator=(const AsyncFileWriter&) = delete;

    // Opens path for appending (startAnew: emptied first). 0, or -1 with the
    // OS's reason in error.
    int Open(const std::string& path, bool startAnew, std::string& error);
    // Writes out everything appended so far and closes the file. 0, or -1 when
    // a write failed (the reason then is Failure()).
    int Close();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

    // Any thread. Dropped once a write has failed.
    void Append(std::string_view bytes);
    // Waits until everything appended so far is on its way to the disk.
    void Flush();

    // The reason of the failed write, empty while none failed.
    std::string Failure() const;

private:
    void WriterThread();
    bool WriteAll(const std::string& bytes);

    int m_fd = -1;
    std::string m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::string m_pending;
    std::size_t m_appended = 0;   // bytes handed to Append, in all
    std::size_t m_handled = 0;    // of those, the bytes written or dropped
    bool m_stop = false;
    bool m_flushWanted = false;
    std::string m_failure;
    std::thread m_writer;
};
