#include "ConverterHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The pending text of Hex receive must hold at most one character between
// chunks, whatever arrives; otherwise a line carrying "0x..." fills it.

TEST(HexReceivePending, LongRunOfZeroXPassesThroughAndNothingWaits)
{
    CXrateHex converter(nullptr);
    const std::string chunk = Repeat("0x", kMaxChunk / 2);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(Receive(converter, chunk), chunk) << "chunk " << i;
        ASSERT_EQ(converter.PendingLength(), 0) << "chunk " << i;
    }
}

TEST(HexReceivePending, ZeroXRunSplitAtAnyPointComesOutWhole)
{
    const std::string line = Repeat("0x", 2048);
    for (size_t size : {1u, 2u, 3u, 7u, 255u, 511u, 512u}) {
        CXrateHex converter(nullptr);
        std::string shown;
        for (size_t at = 0; at < line.size(); at += size) {
            shown += Receive(converter, line.substr(at, size));
            ASSERT_LE(converter.PendingLength(), 1) << "chunks of " << size;
        }
        EXPECT_EQ(shown, line) << "chunks of " << size;
    }
}

TEST(HexReceivePending, WaitingZeroBeforeXYieldsTheLargestReport)
{
    CXrateHex converter(nullptr);
    ASSERT_EQ(Receive(converter, "0"), "");
    const std::string chunk = "x" + std::string(kMaxChunk - 1, 'g');
    const std::string shown = Receive(converter, chunk);
    EXPECT_EQ(shown.size(), 513u);
    EXPECT_EQ(shown, "0" + chunk);
    EXPECT_EQ(converter.PendingLength(), 0);
}

TEST(HexReceivePending, WaitingDigitAndAFullChunkDecodeTogether)
{
    CXrateHex converter(nullptr);
    ASSERT_EQ(Receive(converter, "4"), "");
    // "1", 255 pairs "41", then a lone "4": 512 characters in all.
    const std::string chunk = "1" + Repeat("41", 255) + "4";
    ASSERT_EQ(chunk.size(), 512u);
    EXPECT_EQ(Receive(converter, chunk), std::string(256, 'A'));
    EXPECT_EQ(converter.PendingLength(), 1);
    EXPECT_EQ(Receive(converter, "2"), "B");
    EXPECT_EQ(converter.PendingLength(), 0);
}

TEST(HexReceivePending, EveryDigitWaitsAloneAndPairsAcrossChunks)
{
    CXrateHex converter(nullptr);
    const std::string digits = "0123456789abcdefABCDEF";
    for (char c : digits) {
        ASSERT_EQ(Receive(converter, std::string(1, c)), "") << c;
        ASSERT_EQ(converter.PendingLength(), 1) << c;
        // "c1" reads as 16 * c + 1, never zero, so it always shows one character.
        const std::string shown = Receive(converter, "1");
        ASSERT_EQ(shown.size(), 1u) << c;
        EXPECT_EQ(static_cast<unsigned char>(shown[0]),
                  std::stoi(std::string(1, c), nullptr, 16) * 16 + 1)
            << c;
    }
}

} // namespace
