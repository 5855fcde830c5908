#include "report/ReportZoom.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kLadder[] = {kSmallestReportFontPixels, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 32, 40, 48,
                           kLargestReportFontPixels};

} // namespace

int ZoomedFontPixels(int current, int steps)
{
    int size = current >= kSmallestReportFontPixels && current <= kLargestReportFontPixels ? current
                                                                                          : kReportFontPixels;
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
