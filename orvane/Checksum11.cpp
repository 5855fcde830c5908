#include "orvane/Checksum11.h"

int Checksum11(const unsigned char* bytes, int count)
{
    int sum = 0;
    int xorOfBytes = 0;
    for (int i = 0; i < count; ++i) {
        sum = (sum + bytes[i]) & 0xFF;
        xorOfBytes ^= bytes[i];
    }
    return sum ^ (xorOfBytes << 4);
}
