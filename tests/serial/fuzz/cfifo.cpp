// Drives the byte ring with an arbitrary sequence of stores and takes from an
// arbitrary starting count and checks it against a plain queue of 2048 bytes.

#include "serial/CFIFO.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t start = 0;
    std::memcpy(&start, data, 4);
    CFIFO ring(start);
    std::deque<unsigned char> model;
    std::uint8_t next = 0;
    std::vector<unsigned char> in(kFifoSize + 600);
    std::vector<unsigned char> out(kFifoSize + 600);

    for (size_t at = 4; at + 1 < size; at += 2) {
        // Lengths up to 2047 + 600 cover short, exact and over-long requests.
        const int length = ((data[at] & 0x7F) << 4 | data[at + 1] >> 4) + (data[at + 1] & 0x0F);
        if ((data[at] & 0x80) == 0) {
            if (length < 1)
                continue;
            for (int i = 0; i < length; ++i)
                in[static_cast<size_t>(i)] = next++;
            const int room = static_cast<int>(kFifoSize - model.size());
            const int kept = ring.Put(in.data(), length);
            if (kept != (length < room ? length : room))
                std::abort();
            if ((ring.IsOverflowed() != 0) != (kept < length))
                std::abort();
            model.insert(model.end(), in.begin(), in.begin() + kept);
            next = static_cast<std::uint8_t>(next - (length - kept));
        } else {
            if (length < 1)
                continue;
            const int want = length < static_cast<int>(model.size()) ? length : static_cast<int>(model.size());
            const bool flagBefore = ring.IsOverflowed() != 0;
            const int got = ring.Get(out.data(), length);
            if (got != want)
                std::abort();
            for (int i = 0; i < got; ++i) {
                if (out[static_cast<size_t>(i)] != model.front())
                    std::abort();
                model.pop_front();
            }
            if (ring.IsOverflowed() != 0 && (got > 0 || !flagBefore))
                std::abort();
        }
    }
    return 0;
}
