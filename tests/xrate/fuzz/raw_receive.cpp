#include "FuzzInput.h"

#include "xrate/CXrateRaw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXrateRaw converter(nullptr);
    ForEachChunk(data, size, [&](const unsigned char* bytes, int count) {
        const std::string shown = converter.XrateReceive(bytes, count);
        Require(shown == reinterpret_cast<const char*>(bytes),
                "Raw receive shows the chunk up to its first zero byte");
    });
    return 0;
}
