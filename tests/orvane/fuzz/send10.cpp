// Version 1.0 command lines of any bytes: the result stays inside the transmit
// buffer and its packets frame consistently.

#include "SendFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CXrateOV converter(nullptr, 63);
    FuzzSend(converter, false, 63, data, size);
    return 0;
}
