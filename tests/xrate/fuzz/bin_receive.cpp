#include "FuzzInput.h"

#include "xrate/CXrateBin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXrateBin converter(nullptr);
    ForEachChunk(data, size, [&](const unsigned char* bytes, int count) {
        const std::string shown = converter.XrateReceive(bytes, count);
        Require(shown.size() == 3 * static_cast<size_t>(count),
                "Bin receive shows three characters per byte");
        for (int i = 0; i < count; ++i) {
            const char* cell = shown.c_str() + 3 * i;
            Require(IsUpperHexDigit(cell[0]) && IsUpperHexDigit(cell[1]) && cell[2] == ' ',
                    "each byte is two uppercase digits and a space");
            Require(DigitPairValue(cell[0], cell[1]) == bytes[i], "the digits stand for the byte");
        }
    });
    return 0;
}
