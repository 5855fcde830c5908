#include "xrate/CXrateRaw.h"

#include "xrate/ChunkText.h"

#include <cstring>

static_assert(kRawSendCut + 3 <= kRawBufferSize, "a cut command and its line end must fit");
static_assert(kMaxChunk < kRawBufferSize, "a whole chunk must fit the receive buffer");

CXrateRaw::CXrateRaw(void* owner) : CXrate(owner) {}

const char* CXrateRaw::XrateSend(char* text, int&)
{
    const size_t n = strnlen(text, kRawSendCut);
    std::memcpy(m_transmit, text, n);
    const char* end = LineEndText(m_lineEnd);
    std::memcpy(m_transmit + n, end, std::strlen(end) + 1);
    return m_transmit;
}

const char* CXrateRaw::XrateReceive(const unsigned char* bytes, int count)
{
    const int n = ChunkTextLength(bytes, count);
    std::memcpy(m_receive, bytes, static_cast<size_t>(n));
    m_receive[n] = '\0';
    return m_receive;
}
