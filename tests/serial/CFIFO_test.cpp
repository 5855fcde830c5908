#include "serial/CFIFO.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Bytes that tell their own position in the stream, so any loss, repeat or
// reordering shows.
std::vector<unsigned char> Sequence(std::uint32_t from, int count)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>((from + i) * 7 + ((from + i) >> 8));
    return bytes;
}

std::vector<unsigned char> Take(CFIFO& ring, int maximum)
{
    std::vector<unsigned char> out(static_cast<std::size_t>(maximum));
    out.resize(static_cast<std::size_t>(ring.Get(out.data(), maximum)));
    return out;
}

} // namespace

TEST(CFIFO, TwoReadsOf300AreTakenAs512And88InOrder)
{
    CFIFO ring;
    const auto bytes = Sequence(0, 600);
    EXPECT_EQ(ring.Put(bytes.data(), 300), 300);
    EXPECT_EQ(ring.Put(bytes.data() + 300, 300), 300);
    const auto first = Take(ring, 512);
    const auto second = Take(ring, 512);
    ASSERT_EQ(first.size(), 512u);
    ASSERT_EQ(second.size(), 88u);
    EXPECT_EQ(first, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 512));
    EXPECT_EQ(second, std::vector<unsigned char>(bytes.begin() + 512, bytes.end()));
    EXPECT_TRUE(Take(ring, 512).empty());
}

TEST(CFIFO, StoreIntoAlmostFullRingKeepsWhatFitsAndFlagsTheRest)
{
    CFIFO ring;
    const auto bytes = Sequence(0, 2200);
    ASSERT_EQ(ring.Put(bytes.data(), 1900), 1900);
    EXPECT_EQ(ring.IsOverflowed(), 0);
    EXPECT_EQ(ring.Put(bytes.data() + 1900, 300), 148);
    EXPECT_NE(ring.IsOverflowed(), 0);

    std::vector<unsigned char> all;
    for (auto chunk = Take(ring, 512); !chunk.empty(); chunk = Take(ring, 512)) {
        EXPECT_EQ(ring.IsOverflowed(), 0) << "a take that takes bytes clears the flag";
        all.insert(all.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(all, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 2048));
}

TEST(CFIFO, FullRingKeepsNothingAndAStoreThatFitsClearsTheFlag)
{
    CFIFO ring;
    const auto bytes = Sequence(0, 2048);
    ASSERT_EQ(ring.Put(bytes.data(), 2048), 2048);
    EXPECT_EQ(ring.IsOverflowed(), 0) << "exactly full is not an overflow";
    EXPECT_EQ(ring.Put(bytes.data(), 1), 0);
    EXPECT_NE(ring.IsOverflowed(), 0);

    EXPECT_EQ(Take(ring, 2048), bytes);
    EXPECT_TRUE(Take(ring, 1).empty());
    EXPECT_EQ(ring.Put(bytes.data(), 10), 10);
    EXPECT_EQ(ring.IsOverflowed(), 0);
}

TEST(CFIFO, LengthsBelowOneChangeNothing)
{
    CFIFO ring;
    const unsigned char byte = 1;
    EXPECT_EQ(ring.Put(&byte, 0), 0);
    EXPECT_EQ(ring.Put(&byte, -5), 0);
    unsigned char out = 0;
    ring.Put(&byte, 1);
    EXPECT_EQ(ring.Get(&out, -1), 0);
    EXPECT_EQ(ring.Get(&out, 0), 0);
    EXPECT_EQ(ring.Get(&out, 1), 1);
    EXPECT_EQ(out, 1);
}

struct WrapCase {
    const char* name;
    std::uint32_t startCount;
    int put;
    int take;
};

class CFIFOWrap : public testing::TestWithParam<WrapCase> {};

TEST_P(CFIFOWrap, BytesComeBackInOrderAcrossTheEndOfTheStorage)
{
    const WrapCase& c = GetParam();
    CFIFO ring(c.startCount);
    const auto bytes = Sequence(c.startCount, c.put);
    ASSERT_EQ(ring.Put(bytes.data(), c.put), c.put);
    std::vector<unsigned char> all;
    for (auto chunk = Take(ring, c.take); !chunk.empty(); chunk = Take(ring, c.take))
        all.insert(all.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(all, bytes);
    // The next store starts where the last one ended.
    const auto more = Sequence(c.startCount + c.put, 700);
    ASSERT_EQ(ring.Put(more.data(), 700), 700);
    EXPECT_EQ(Take(ring, 2048), more);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CFIFOWrap,
    testing::Values(WrapCase{"StoreAtPosition2000Wraps", 2000, 100, 100},
                    WrapCase{"StoreEndingAtPosition2047", 1948, 100, 100},
                    WrapCase{"StoreEndingAtPosition2048", 1948, 101, 512},
                    WrapCase{"TakeInSmallPieces", 2040, 50, 3},
                    WrapCase{"CountsWrapPast2To32", 0xFFFFFF00u, 1500, 512},
                    WrapCase{"CountsAtLastValue", 0xFFFFFFFFu, 2048, 2048}),
    [](const testing::TestParamInfo<WrapCase>& info) { return info.param.name; });

TEST(CFIFO, TwoThreadsPassEveryByteInOrderPastTheCountWrap)
{
    constexpr std::uint32_t kStart = 0xFFFF0000u;  // the counts wrap during the run
    constexpr int kTotal = 1 << 20;
    CFIFO ring(kStart);

    std::thread producer([&ring] {
        const auto bytes = Sequence(kStart, kTotal);
        int sent = 0;
        int step = 1;
        while (sent < kTotal) {
            const int length = std::min(step, kTotal - sent);
            // The reader thread never waits: what did not fit is offered again.
            const int kept = ring.Put(bytes.data() + sent, length);
            if (kept == 0)
                std::this_thread::yield();
            sent += kept;
            step = step % 700 + 37;
        }
    });

    const auto expected = Sequence(kStart, kTotal);
    std::vector<unsigned char> chunk(512);
    int received = 0;
    int mismatches = 0;
    int maximum = 1;
    while (received < kTotal) {
        const int got = ring.Get(chunk.data(), maximum);
        if (got == 0)
            std::this_thread::yield();
        mismatches += std::memcmp(chunk.data(), expected.data() + received, static_cast<std::size_t>(got)) != 0;
        received += got;
        maximum = maximum % 512 + 1;
    }
    producer.join();
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(ring.Get(chunk.data(), 512), 0);
}
