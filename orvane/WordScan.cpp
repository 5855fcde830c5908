#include "orvane/WordScan.h"

#include <cstring>

Word NextWord(const char*& position)
{
    while (*position != '\0' && IsWhiteSpace(*position))
        ++position;
    Word word;
    word.begin = position;
    while (*position != '\0' && !IsWhiteSpace(*position))
        ++position;
    word.length = int(position - word.begin);
    return word;
}

void CopyWord(const Word& word, char* out, int capacity)
{
    if (capacity <= 0)
        return;
    const int count = word.length < capacity - 1 ? word.length : capacity - 1;
    if (count > 0)
        std::memcpy(out, word.begin, std::size_t(count));
    out[count] = '\0';
}

bool WordIs(const Word& word, const char* text)
{
    const std::size_t length = std::strlen(text);
    return std::size_t(word.length) == length && std::memcmp(word.begin, text, length) == 0;
}
