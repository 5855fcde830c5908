// Drives the byte ring with an arbitrary sequence of stores and takes from an
// arbitrary starting count and checks it against a plain queue of 2048 bytes.

#include "serial/CFIFO.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kLongest = 0x7FF + 0xF * 41;  // longest request an input can make

// Stream byte n is n mod 256, so a store of the bytes from n on is a slice of this.
const unsigned char* Stream(std::uint8_t from)
{
    static const std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> all(256 + kLongest);
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<unsigned char>(i);
        return all;
    }();
    return bytes.data() + from;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t start = 0;
    std::memcpy(&start, data, 4);
    CFIFO ring(start);
    std::vector<unsigned char> model;  // what the ring should hold, oldest first
    model.reserve(kFifoSize + kLongest);
    std::vector<unsigned char> out(kLongest);
    std::uint8_t next = 0;

    for (size_t at = 4; at + 1 < size; at += 2) {
        const bool take = (data[at] & 0x80) != 0;
        // Eleven bits give 0..2047; the last nibble reaches past the ring's size.
        const int length = ((data[at] & 0x7F) << 4 | data[at + 1] >> 4) + (data[at + 1] & 0x0F) * 41;
        if (length < 1)
            continue;
        if (!take) {
            const int room = static_cast<int>(kFifoSize - model.size());
            const int kept = ring.Put(Stream(next), length);
            if (kept != (length < room ? length : room))
                std::abort();
            if ((ring.IsOverflowed() != 0) != (kept < length))
                std::abort();
            model.insert(model.end(), Stream(next), Stream(next) + kept);
            next = static_cast<std::uint8_t>(next + kept);
        } else {
            const int held = static_cast<int>(model.size());
            const int want = length < held ? length : held;
            const bool flagBefore = ring.IsOverflowed() != 0;
            const int got = ring.Get(out.data(), length);
            if (got != want || std::memcmp(out.data(), model.data(), static_cast<size_t>(got)) != 0)
                std::abort();
            model.erase(model.begin(), model.begin() + got);
            if (ring.IsOverflowed() != 0 && (got > 0 || !flagBefore))
                std::abort();
        }
    }
    return 0;
}
