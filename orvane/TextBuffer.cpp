#include "orvane/TextBuffer.h"

#include "xrate/TextChars.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

inline constexpr int kFieldSize = 24;

// Writes the sign (or the blank that stands for a plus) and the digits at the
// end of field, blanks in front up to width; returns where the text starts.
int RightAlignedDecimal(char (&field)[kFieldSize], int32_t value, int width, char plus)
{
    int at = kFieldSize;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        field[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        field[--at] = '-';
    else if (plus != '\0')
        field[--at] = plus;
    if (width > kFieldSize)
        width = kFieldSize;
    while (kFieldSize - at < width)
        field[--at] = ' ';
    return at;
}

} // namespace

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
    const std::size_t start = m_length;
    char* out = m_text.get();
    for (int i = 0; i < count && m_capacity - m_length >= 3; ++i) {
        out[m_length++] = kHexDigits[bytes[i] >> 4];
        out[m_length++] = kHexDigits[bytes[i] & 0x0F];
        out[m_length++] = ' ';
    }
    out[m_length] = '\0';
    return static_cast<int>(m_length - start);
}

int TextBuffer::AppendHex(uint32_t value, int digits)
{
    char field[kFieldSize];
    int at = kFieldSize;
    do {
        field[--at] = kHexDigits[value & 0x0F];
        value >>= 4;
    } while (value != 0);
    if (digits > kFieldSize)
        digits = kFieldSize;
    while (kFieldSize - at < digits)
        field[--at] = '0';
    return Append(field + at, static_cast<std::size_t>(kFieldSize - at));
}

int TextBuffer::AppendDecimal(int32_t value, int width)
{
    char field[kFieldSize];
    const int at = RightAlignedDecimal(field, value, width, '\0');
    return Append(field + at, static_cast<std::size_t>(kFieldSize - at));
}

int TextBuffer::AppendBlankSignedDecimal(int32_t value, int width)
{
    char field[kFieldSize];
    const int at = RightAlignedDecimal(field, value, width, ' ');
    return Append(field + at, static_cast<std::size_t>(kFieldSize - at));
}
