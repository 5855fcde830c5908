#pragma once

#include <cstddef>
#include <string>

// A file read in pieces for sending: raw bytes, or lines without their line
// ends. Only regular files are taken (a pipe or device could block the
// window or never end).
//
// State: the open descriptor, a buffer of bytes read but not yet handed out,
// and the count handed out so far (Consumed) against the file's size at open.
// Every failure leaves a message naming the file and the system's reason.
class FileSource {
public:
    // The longest line handed out; a longer one is an error rather than a
    // command line of unbounded size.
    static constexpr std::size_t kMaxLine = 1 << 20;

    FileSource() = default;
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // 0, or -1 with error set.
    int Open(const std::string& path, std::string& error);

    // At most max bytes, cut after the first line feed when cutAtLineFeed.
    // 0 with out filled (empty only at the end of the file), or -1 with error.
    int NextBytes(std::size_t max, bool cutAtLineFeed, std::string& out, std::string& error);
    // The next line without its "\n" or "\r\n". 1 with a line, 0 at the end
    // of the file, -1 with error. A last line without a line end is a line.
    int NextLine(std::string& line, std::string& error);

    const std::string& Path() const { return m_path; }
    long long Size() const { return m_size; }
    long long Consumed() const { return m_consumed; }

private:
    // Reads more into the buffer; false with error set on a failed read.
    bool Fill(std::string& error);
    std::string Failure(const char* what, int reason) const;

    int m_fd = -1;
    std::string m_path;
    std::string m_buffer;
    std::size_t m_start = 0;  // first byte of m_buffer not yet handed out
    bool m_atEnd = false;
    long long m_size = 0;
    long long m_consumed = 0;
};
