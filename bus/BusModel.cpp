#include "bus/BusModel.h"

#include <chrono>

namespace {

int64_t SystemMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool IsNode(int node)
{
    return node >= 0 && node < 64;
}

const RegisterState kNoState{};

} // namespace

BusModel::BusModel(WallClock clock, std::size_t logLimit, std::size_t seriesLimit)
    : m_clock(clock ? clock : SystemMs), m_logLimit(logLimit > 0 ? logLimit : 1),
      m_seriesLimit(seriesLimit)
{
}

void BusModel::OnNodePresent(int node)
{
    if (IsNode(node) && !m_present[node]) {
        m_present[node] = true;
        ++m_generation;
    }
}

void BusModel::OnRegisterStore(const RegisterStore& store)
{
    if (!IsNode(store.node) || store.reg < 0 || store.reg >= 16)
        return;
    const int64_t now = m_clock();
    const RegisterKey key{store.node, store.wide, store.reg};
    RegisterState& state = m_states[key.Index()];
    if (!state.valid || state.value != store.value)
        state.changedMs = now;
    state.valid = true;
    state.value = store.value;

    if (m_log.size() >= m_logLimit) {
        m_log.pop_front();
        ++m_logDropped;
    }
    m_log.push_back({now, store.tick, static_cast<uint8_t>(store.node),
                     static_cast<uint8_t>(store.destination & 0x3F), static_cast<uint8_t>(store.reg),
                     store.wide, store.value});

    if (const auto series = m_series.find(key); series != m_series.end())
        series->second.Append(now, store.value);
    ++m_generation;
}

void BusModel::OnTableCleared()
{
    // The table forgets; what was seen stays in the log and the plots.
    m_present.fill(false);
    m_states.fill(RegisterState{});
    ++m_generation;
}

bool BusModel::Present(int node) const
{
    return IsNode(node) && m_present[node];
}

const RegisterState& BusModel::State(const RegisterKey& key) const
{
    if (!IsNode(key.node) || key.reg < 0 || key.reg >= 16)
        return kNoState;
    return m_states[key.Index()];
}

void BusModel::SetPlotted(const RegisterKey& key, bool plotted)
{
    if (!IsNode(key.node) || key.reg < 0 || key.reg >= 16 || plotted == IsPlotted(key))
        return;
    ++m_generation;
    if (!plotted) {
        m_series.erase(key);
        return;
    }
    PlotSeries& series = m_series.emplace(key, PlotSeries(m_seriesLimit)).first->second;
    for (const ChangeRecord& record : m_log) {
        if (record.node == key.node && record.wide == key.wide && record.reg == key.reg)
            series.Append(record.wallMs, record.value);
    }
}
