#pragma once

#include <cstddef>
#include <memory>

// Report text built by appending, in one block allocated when the buffer is
// made and never again: Clear() only moves the end back to the start. Every
// append is bounded by the capacity and leaves the text NUL-terminated; text
// that would not fit is cut there, so the owner sizes the buffer for the most
// that one call can produce.
class TextBuffer {
public:
    // capacity counts characters, not the terminating NUL.
    explicit TextBuffer(std::size_t capacity);

    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void Clear();

    // Each returns the number of characters added, which is where the next
    // cell of a line starts relative to the text added so far.
    int Append(const char* text);
    int Append(const char* chars, std::size_t count);
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // One "%02X " cell per byte, as the packet dumps show them.
    int AppendHexCells(const unsigned char* bytes, int count);

    const char* Text() const { return m_text.get(); }
    std::size_t Length() const { return m_length; }
    std::size_t Capacity() const { return m_capacity; }

private:
    std::unique_ptr<char[]> m_text;
    std::size_t m_capacity;
    std::size_t m_length = 0;
};
