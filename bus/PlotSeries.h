#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// One register's values over time for a plot, oldest first, holding at most
// a fixed number of points: past it the oldest point goes and is counted.
inline constexpr std::size_t kSeriesLimit = 100000;

struct PlotPoint {
    int64_t wallMs;
    int32_t value;
};

class PlotSeries {
public:
    explicit PlotSeries(std::size_t limit = kSeriesLimit) : m_limit(limit > 0 ? limit : 1) {}

    void Append(int64_t wallMs, int32_t value);
    const std::deque<PlotPoint>& Points() const { return m_points; }
    uint64_t Dropped() const { return m_dropped; }

    // The first point at or after wallMs.
    std::size_t FirstFrom(int64_t wallMs) const;

private:
    std::size_t m_limit;
    std::deque<PlotPoint> m_points;
    uint64_t m_dropped = 0;
};
