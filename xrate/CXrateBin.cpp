#include "xrate/CXrateBin.h"

#include "xrate/ChunkText.h"
#include "xrate/HexText.h"
#include "xrate/MessageBox.h"

#include <cstdio>
#include <cstring>

static_assert(kBinSendCut / 2 < kBinTransmitSize, "the bytes of a cut command and a zero must fit");

namespace {

constexpr char kCaption[] = "Binary Translate Alart";
constexpr char kOddLength[] = "Input must be sequential pair of hex chars without space";

} // namespace

CXrateBin::CXrateBin(void* owner) : CXrate(owner) {}

const char* CXrateBin::XrateSend(char* text, int& len)
{
    const int n = static_cast<int>(strnlen(text, kBinSendCut));
    if (n % 2 != 0) {
        ShowMessageBox(Owner(), kOddLength, kCaption, kMbIconExclamation);
        return "";
    }
    for (int i = 0; i < n; i += 2) {
        unsigned char value = 0;
        if (!ReadHexPair(text[i], text[i + 1], value)) {
            // Nothing of a rejected command may reach the line, so the bytes
            // converted so far give way to the message.
            const char pair[3] = {text[i], text[i + 1], '\0'};
            std::snprintf(m_transmit, sizeof m_transmit,
                          "Cannot read as hexadecimal\n'%s' : %dth character", pair, i);
            ShowMessageBox(Owner(), m_transmit, kCaption, kMbIconExclamation);
            return "";
        }
        m_transmit[i / 2] = static_cast<char>(value);
    }
    m_transmit[n / 2] = '\0';
    len = n / 2;
    return m_transmit;
}

const char* CXrateBin::XrateReceive(const unsigned char* bytes, int count)
{
    const int n = ChunkCount(count);
    for (int i = 0; i < n; ++i) {
        WriteHexByte(bytes[i], m_receive + 3 * i);
        m_receive[3 * i + 2] = ' ';
    }
    m_receive[3 * n] = '\0';
    return m_receive;
}
