// Version 1.1 command lines of any bytes: the result stays inside the transmit
// buffer and every packet's complement and checksum agree with it.

#include "orvane/CXrateOV11.h"

#include "SendFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CXrateOV11 converter(nullptr, 63);
    FuzzSend(converter, true, 63, data, size);
    return 0;
}
