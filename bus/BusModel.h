#pragma once

#include "bus/PlotSeries.h"
#include "orvane/NodeTableObserver.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>

// What a live view of the bus shows, kept as the decoder changes NodeTable:
// which nodes are present, each register's value with the wall-clock time it
// last changed, a log of every register store since start (the rows an
// export writes) and the series of the registers chosen for plotting.
//
// The log and each series are bounded: past the limit the oldest entries go
// and are counted, so a view can say how much it no longer holds. Views ask
// Generation() whether anything moved since they last looked, and redraw at
// their own pace. User-interface thread only, like NodeTable itself.

struct RegisterKey {
    int node = 0;
    bool wide = false;  // 32-bit register
    int reg = 0;

    int Index() const { return (node * 2 + (wide ? 1 : 0)) * 16 + reg; }
    bool operator<(const RegisterKey& other) const { return Index() < other.Index(); }
    bool operator==(const RegisterKey& other) const { return Index() == other.Index(); }
};

struct RegisterState {
    bool valid = false;
    int32_t value = 0;
    int64_t changedMs = 0;  // wall-clock time the value last became what it is
};

struct ChangeRecord {
    int64_t wallMs;  // milliseconds since 1970, UTC
    uint32_t tick;
    uint8_t node;
    uint8_t destination;
    uint8_t reg;
    bool wide;
    int32_t value;
};

class BusModel : public NodeTableObserver {
public:
    using WallClock = int64_t (*)();
    static constexpr std::size_t kDefaultLogLimit = 1000000;

    explicit BusModel(WallClock clock = nullptr, std::size_t logLimit = kDefaultLogLimit,
                      std::size_t seriesLimit = kSeriesLimit);

    void OnNodePresent(int node) override;
    void OnRegisterStore(const RegisterStore& store) override;
    void OnTableCleared() override;

    bool Present(int node) const;
    const RegisterState& State(const RegisterKey& key) const;
    uint64_t Generation() const { return m_generation; }

    const std::deque<ChangeRecord>& Log() const { return m_log; }
    uint64_t LogDropped() const { return m_logDropped; }

    // Plotting a register starts its series from what the log still holds.
    void SetPlotted(const RegisterKey& key, bool plotted);
    bool IsPlotted(const RegisterKey& key) const { return m_series.count(key) != 0; }
    const std::map<RegisterKey, PlotSeries>& Series() const { return m_series; }

    int64_t Now() const { return m_clock(); }

private:
    static constexpr int kKeys = 64 * 2 * 16;

    WallClock m_clock;
    std::size_t m_logLimit;
    std::size_t m_seriesLimit;
    std::array<bool, 64> m_present{};
    std::array<RegisterState, kKeys> m_states{};
    std::deque<ChangeRecord> m_log;
    uint64_t m_logDropped = 0;
    std::map<RegisterKey, PlotSeries> m_series;
    uint64_t m_generation = 0;
};
