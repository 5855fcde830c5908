#include "view/ReportZoom.h"

#include <algorithm>
#include <iterator>

namespace {

// Small enough to see a whole screen of hex dump, large enough for a projector.
constexpr int kLadder[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 32, 40, 48, 64};

} // namespace

int ZoomedFontPixels(int current, int steps)
{
    int size = StoredFontPixels(current);
    for (; steps > 0; --steps) {
        const int* next = std::upper_bound(std::begin(kLadder), std::end(kLadder), size);
        size = next == std::end(kLadder) ? size : *next;
    }
    for (; steps < 0; ++steps) {
        const int* below = std::lower_bound(std::begin(kLadder), std::end(kLadder), size);
        size = below == std::begin(kLadder) ? size : *(below - 1);
    }
    return size;
}

int StoredFontPixels(int stored)
{
    return stored >= kLadder[0] && stored <= std::end(kLadder)[-1] ? stored : kReportFontPixels;
}
