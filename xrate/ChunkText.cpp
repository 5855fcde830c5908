#include "xrate/ChunkText.h"

#include "xrate/CXrate.h"

#include <algorithm>
#include <cstring>

int ChunkCount(int count)
{
    return std::clamp(count, 0, kMaxChunk);
}

int ChunkTextLength(const unsigned char* bytes, int count)
{
    const int bound = ChunkCount(count);
    const void* zero = std::memchr(bytes, 0, static_cast<size_t>(bound));
    return zero ? static_cast<int>(static_cast<const unsigned char*>(zero) - bytes) : bound;
}
