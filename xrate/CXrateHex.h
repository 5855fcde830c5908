#pragma once

#include "xrate/CXrate.h"

// Hexadecimal text both ways. Transmit writes every command character as two
// uppercase digits and a line end. Receive decodes digit pairs back into
// characters and passes every other character through as it is.
//
// The one piece of state is the receive side's pending text: received
// characters not yet decoded. Between calls it is empty or holds a single
// hexadecimal digit that waits to pair with the first character of the next
// chunk, so a pair split across two chunks still decodes. A pair that starts
// with a digit but cannot be read ("0x") does not wait: its first character is
// passed through, so the pending text cannot grow however the line runs.
// A new object starts with nothing pending.

inline constexpr int kHexBufferSize = 1024;
// Two digits per character plus "\r\n" and the terminator fit the buffer.
inline constexpr int kHexSendCut = 500;

class CXrateHex : public CXrate {
public:
    explicit CXrateHex(void* owner);
    ~CXrateHex() override = default;

    // Longer commands than kHexSendCut characters are cut without a message.
    const char* XrateSend(char* text, int& len) override;
    // Reads the chunk as text, so it ends at the first zero byte. A pair of
    // value 0 is consumed and shows nothing: report text cannot hold a zero.
    const char* XrateReceive(const unsigned char* bytes, int count) override;
    void SetLineEnd(LineEnd end) override { m_lineEnd = end; }

    // Received characters waiting for the next chunk: 0, or 1 for a lone digit.
    int PendingLength() const { return m_pendingLength; }

private:
    LineEnd m_lineEnd = LineEnd::kCrLf;
    char m_transmit[kHexBufferSize] = {};
    char m_pending[kHexBufferSize] = {};
    int m_pendingLength = 0;
    char m_receive[kHexBufferSize] = {};
};
