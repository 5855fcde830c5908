#include "xrate/CXrateHex.h"

#include "xrate/ChunkText.h"
#include "xrate/HexText.h"

#include <cstring>

static_assert(2 * kHexSendCut + 3 <= kHexBufferSize, "a cut command must fit the transmit buffer");
static_assert(1 + kMaxChunk < kHexBufferSize, "a waiting digit and a whole chunk must fit");

CXrateHex::CXrateHex(void* owner) : CXrate(owner) {}

const char* CXrateHex::XrateSend(char* text, int&)
{
    const size_t n = strnlen(text, kHexSendCut);
    for (size_t i = 0; i < n; ++i)
        WriteHexByte(static_cast<unsigned char>(text[i]), m_transmit + 2 * i);
    const char* end = LineEndText(m_lineEnd);
    std::memcpy(m_transmit + 2 * n, end, std::strlen(end) + 1);
    return m_transmit;
}

const char* CXrateHex::XrateReceive(const unsigned char* bytes, int count)
{
    const int textLength = ChunkTextLength(bytes, count);
    std::memcpy(m_pending + m_pendingLength, bytes, static_cast<size_t>(textLength));
    const int length = m_pendingLength + textLength;

    int pos = 0;
    int out = 0;
    while (pos < length) {
        unsigned char value = 0;
        if (length - pos >= 2 && ReadHexPair(m_pending[pos], m_pending[pos + 1], value)) {
            if (value != 0)
                m_receive[out++] = static_cast<char>(value);
            pos += 2;
        } else if (length - pos == 1 && IsHexDigit(m_pending[pos])) {
            break;
        } else {
            m_receive[out++] = m_pending[pos++];
        }
    }
    m_receive[out] = '\0';

    m_pendingLength = length - pos;
    std::memmove(m_pending, m_pending + pos, static_cast<size_t>(m_pendingLength));
    return m_receive;
}
