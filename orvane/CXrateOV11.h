#pragma once

#include "orvane/CXrateOV.h"

// Version 1.1 framing: length complement after the length byte and a checksum
// after the payload; the receive side repairs damaged lengths and reports
// checksum errors.
class CXrateOV11 : public CXrateOV {
public:
    CXrateOV11(void* owner, int ownNodeId);
    ~CXrateOV11() override;

    const char* XrateReceive(const unsigned char* bytes, int count) override;
};
