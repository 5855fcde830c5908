// Version 1.0 receive side on any bytes, in chunks as the receive pump hands
// them over: every returned text stays in its buffer and loses nothing.

#include "ReceiveFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReceive<CXrateOV>(data, size, false);
    return 0;
}
