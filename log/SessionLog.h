#pragma once

#include "log/AsyncFileWriter.h"

#include <chrono>
#include <string>
#include <string_view>

// The session log: every text the report receives, appended to a file byte
// for byte with its "\r\n" line ends, never trimmed. With stamps each line of
// the log begins with the local time at which its first character arrived,
// "YYYY-MM-DD HH:MM:SS.mmm "; the report itself is unchanged.
class SessionLog {
public:
    // 0, or -1 with the OS's reason in error.
    int Open(const std::string& path, bool startAnew, bool stamps, std::string& error);
    int Close() { return m_file.Close(); }

    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& Path() const { return m_file.Path(); }
    void SetStamps(bool on) { m_stamps = on; }
    bool Stamps() const { return m_stamps; }

    void Append(std::string_view text);
    void Flush() { m_file.Flush(); }
    std::string Failure() const { return m_file.Failure(); }

private:
    AsyncFileWriter m_file;
    bool m_stamps = false;
    bool m_atLineStart = true;
};

// "YYYY-MM-DD HH:MM:SS.mmm " of a moment, in local time.
std::string LocalStamp(std::chrono::system_clock::time_point when);
