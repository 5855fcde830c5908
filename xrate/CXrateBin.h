#pragma once

#include "xrate/CXrate.h"

// Bytes written as hexadecimal. Transmit reads the command as pairs of
// hexadecimal digits and sends the bytes they stand for (zeros included), or
// rejects the whole command with a "Binary Translate Alart" box. Receive shows
// every byte as two uppercase digits and a space. The transmit buffer holds the
// bytes of the last accepted command or the text of the last rejection; nothing
// else lasts between calls.

inline constexpr int kBinSendCut = 1024;
inline constexpr int kBinTransmitSize = 1024;
// Three characters per byte of the largest chunk and the terminator.
inline constexpr int kBinReceiveSize = 3 * kMaxChunk + 1;

class CXrateBin : public CXrate {
public:
    explicit CXrateBin(void* owner);
    ~CXrateBin() override = default;

    // Reads the first kBinSendCut characters; the rest is ignored without a
    // message. On success len is the byte count (the bytes are followed by a
    // zero that is not counted); on rejection the result is empty text and len
    // stays kSendText.
    const char* XrateSend(char* text, int& len) override;
    // Exactly 3 * count characters, zero bytes included, without a line break.
    const char* XrateReceive(const unsigned char* bytes, int count) override;

private:
    char m_transmit[kBinTransmitSize] = {};
    char m_receive[kBinReceiveSize] = {};
};
