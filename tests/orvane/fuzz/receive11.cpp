// Version 1.1 receive side on any bytes, and on well-formed packet streams
// made from them: every returned text stays in its buffer and loses nothing.

#include "orvane/CXrateOV11.h"

#include "ReceiveFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReceive<CXrateOV11>(data, size, true);
    return 0;
}
