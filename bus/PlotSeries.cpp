#include "bus/PlotSeries.h"

#include <algorithm>

void PlotSeries::Append(int64_t wallMs, int32_t value)
{
    if (m_points.size() >= m_limit) {
        m_points.pop_front();
        ++m_dropped;
    }
    m_points.push_back({wallMs, value});
}

std::size_t PlotSeries::FirstFrom(int64_t wallMs) const
{
    const auto at = std::lower_bound(m_points.begin(), m_points.end(), wallMs,
                                     [](const PlotPoint& point, int64_t ms) { return point.wallMs < ms; });
    return static_cast<std::size_t>(at - m_points.begin());
}
