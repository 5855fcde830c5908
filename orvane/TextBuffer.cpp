#include "orvane/TextBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

TextBuffer::TextBuffer(std::size_t capacity)
    : m_text(new char[capacity + 1]), m_capacity(capacity)
{
    m_text[0] = '\0';
}

void TextBuffer::Clear()
{
    m_length = 0;
    m_text[0] = '\0';
}

int TextBuffer::Append(const char* text)
{
    return Append(text, std::strlen(text));
}

int TextBuffer::Append(const char* chars, std::size_t count)
{
    if (count > m_capacity - m_length)
        count = m_capacity - m_length;
    std::memcpy(m_text.get() + m_length, chars, count);
    m_length += count;
    m_text[m_length] = '\0';
    return static_cast<int>(count);
}

int TextBuffer::Format(const char* format, ...)
{
    const std::size_t room = m_capacity - m_length + 1;
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(m_text.get() + m_length, room, format, args);
    va_end(args);
    if (wanted <= 0) {
        m_text[m_length] = '\0';
        return 0;
    }
    std::size_t added = static_cast<std::size_t>(wanted);
    if (added > room - 1)
        added = room - 1;
    m_length += added;
    return static_cast<int>(added);
}

int TextBuffer::AppendHexCells(const unsigned char* bytes, int count)
{
    static const char digits[] = "0123456789ABCDEF";
    const std::size_t start = m_length;
    char* out = m_text.get();
    for (int i = 0; i < count && m_capacity - m_length >= 3; ++i) {
        out[m_length++] = digits[bytes[i] >> 4];
        out[m_length++] = digits[bytes[i] & 0x0F];
        out[m_length++] = ' ';
    }
    out[m_length] = '\0';
    return static_cast<int>(m_length - start);
}
