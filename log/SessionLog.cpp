#include "log/SessionLog.h"

#include <cstdio>
#include <ctime>

int SessionLog::Open(const std::string& path, bool startAnew, bool stamps, std::string& error)
{
    m_stamps = stamps;
    m_atLineStart = true;
    return m_file.Open(path, startAnew, error);
}

void SessionLog::Append(std::string_view text)
{
    if (!m_stamps) {
        m_file.Append(text);
        return;
    }
    std::string stamped;
    std::string stamp;
    for (const char c : text) {
        if (m_atLineStart) {
            if (stamp.empty())
                stamp = LocalStamp(std::chrono::system_clock::now());
            stamped += stamp;
            m_atLineStart = false;
        }
        stamped += c;
        m_atLineStart = c == '\n';
    }
    m_file.Append(stamped);
}

std::string LocalStamp(std::chrono::system_clock::time_point when)
{
    const auto sinceEpoch = when.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d ", static_cast<int>(millis));
    return text;
}
