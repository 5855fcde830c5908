#include "app/cli/InputLines.h"

#include <cstring>

void InputLines::Add(const char* bytes, std::size_t count)
{
    while (count > 0 && !m_tooLong && !m_ended) {
        const void* found = std::memchr(bytes, '\n', count);
        const std::size_t piece =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes) : count;
        // One byte of room for a "\r" that the line end may still drop.
        if (m_open.size() + piece > kMaxLine + 1) {
            m_tooLong = true;
            m_open.clear();
            return;
        }
        m_open.append(bytes, piece);
        if (!found)
            return;
        Close();
        bytes += piece + 1;
        count -= piece + 1;
    }
}

void InputLines::End()
{
    if (!m_ended && !m_tooLong && !m_open.empty())
        Close();
    m_open.clear();
    m_ended = true;
}

void InputLines::Close()
{
    if (!m_open.empty() && m_open.back() == '\r')
        m_open.pop_back();
    if (m_open.size() > kMaxLine)
        m_tooLong = true;
    else
        m_lines.push_back(std::move(m_open));
    m_open.clear();
}

bool InputLines::Next(std::string& line)
{
    if (m_lines.empty())
        return false;
    line = std::move(m_lines.front());
    m_lines.pop_front();
    ++m_taken;
    return true;
}
