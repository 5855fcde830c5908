#pragma once

#include "xrate/LineEnd.h"
#include "xrate/UserInterfaceThread.h"

#include <cassert>

// A converter turns command-line text into bytes for the line (transmit) and
// received bytes into report text (receive). The view owns one converter per
// direction and replaces it, never resets it, when the user picks a conversion,
// so an object only ever sees calls for one direction.
//
// Results point into the converter's own buffers and stay valid until the next
// call of the same operation on the same object.

// What XrateSend's len says about its result. The caller passes kSendText in.
inline constexpr int kSendText = -1;   // NUL-terminated text to write to the port
inline constexpr int kSendReport = -2; // report text; nothing goes to the port
                                       // 0 or more: exactly that many bytes to write

// Largest chunk the receive pump hands to XrateReceive.
inline constexpr int kMaxChunk = 512;

class CXrate {
public:
    // owner is the view; converters use it only as the owner of their message boxes.
    explicit CXrate(void* owner) : m_owner(owner)
    {
        // A converter touches the node table and opens message boxes.
        assert(OnUserInterfaceThread());
    }
    virtual ~CXrate() = default;

    CXrate(const CXrate&) = delete;
    CXrate& operator=(const CXrate&) = delete;

    // text is a writable copy of the command line; a converter may change it in
    // place (the view echoes it as the converter left it).
    virtual const char* XrateSend(char* text, int& len) = 0;

    // bytes[count] is always a zero byte, so converters may read the chunk as text.
    virtual const char* XrateReceive(const unsigned char* bytes, int count) = 0;

    // Converters whose commands end in a line end (Raw, Hex) use this one
    // from the next send on; the others have no line end to change.
    virtual void SetLineEnd(LineEnd) {}

protected:
    void* Owner() const { return m_owner; }

private:
    void* m_owner;
};
