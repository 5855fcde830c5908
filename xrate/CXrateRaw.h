#pragma once

#include "xrate/CXrate.h"

// No conversion: a command goes out as typed with a line end, and received
// bytes are shown as text up to the first zero byte. Each buffer holds only the
// last result of its operation; nothing is carried from one call to the next.

inline constexpr int kRawBufferSize = 1024;
// Characters of a command that are sent; the buffer keeps room for "\r\n".
inline constexpr int kRawSendCut = 1020;

class CXrateRaw : public CXrate {
public:
    explicit CXrateRaw(void* owner);
    ~CXrateRaw() override = default;

    // Sends the first kRawSendCut characters of text and the line end ("\r\n"
    // unless another is chosen); longer
    // commands are cut without a message. len stays kSendText.
    const char* XrateSend(char* text, int& len) override;
    const char* XrateReceive(const unsigned char* bytes, int count) override;
    void SetLineEnd(LineEnd end) override { m_lineEnd = end; }

private:
    LineEnd m_lineEnd = LineEnd::kCrLf;
    char m_transmit[kRawBufferSize] = {};
    char m_receive[kRawBufferSize] = {};
};
