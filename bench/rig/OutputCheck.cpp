#include "bench/rig/OutputCheck.h"

#include "orvane/CXrateOV11.h"
#include "xrate/CXrate.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Compares the next piece of expected output with the output at the same
// place; once a byte differs nothing further counts as matched.
class PrefixMatcher {
public:
    explicit PrefixMatcher(std::string_view output) : m_output(output) {}

    void Expect(const char* text, std::size_t length)
    {
        const auto at = static_cast<std::size_t>(m_verdict.expectedBytes);
        m_verdict.expectedBytes += static_cast<long long>(length);
        if (m_broken)
            return;
        const std::size_t available = at < m_output.size() ? m_output.size() - at : 0;
        const std::size_t span = std::min(length, available);
        std::size_t same = 0;
        while (same < span && m_output[at + same] == text[same])
            ++same;
        m_verdict.matchedBytes += static_cast<long long>(same);
        m_broken = same < length;
    }

    OutputVerdict Finish()
    {
        const auto total = static_cast<long long>(m_output.size());
        m_verdict.extraBytes = std::max(0LL, total - m_verdict.expectedBytes);
        return m_verdict;
    }

private:
    std::string_view m_output;
    OutputVerdict m_verdict;
    bool m_broken = false;
};

} // namespace

OutputVerdict CheckOutput(Expect expect, const Traffic& traffic, long long records,
                          const std::string& output)
{
    if (expect == Expect::kNone)
        return {};
    const std::size_t echoes = ProbeEchoLength(output, ProbeOutput(expect, traffic));
    PrefixMatcher matcher(std::string_view(output).substr(echoes));

    const int size = traffic.RecordSize();
    const int perChunk = kMaxChunk / size;
    std::vector<unsigned char> chunk(static_cast<std::size_t>(perChunk * size + 1));
    // The receive pump hands the converter at most 512 bytes at a time.
    CXrateOV11 converter(nullptr, 63);
    for (long long first = 0; first < records; first += perChunk) {
        const long long count = std::min<long long>(perChunk, records - first);
        for (long long i = 0; i < count; ++i)
            traffic.Record(first + i, chunk.data() + i * size);
        const int bytes = static_cast<int>(count * size);
        chunk[static_cast<std::size_t>(bytes)] = 0;
        if (expect == Expect::kSame) {
            matcher.Expect(reinterpret_cast<const char*>(chunk.data()), static_cast<std::size_t>(bytes));
        } else {
            const char* text = converter.XrateReceive(chunk.data(), bytes);
            matcher.Expect(text, std::strlen(text));
        }
    }
    return matcher.Finish();
}

std::string ProbeOutput(Expect expect, const Traffic& traffic)
{
    std::string probe = traffic.Probe();
    if (expect == Expect::kSame)
        return probe;
    if (expect == Expect::kNone)
        return {};
    CXrateOV11 converter(nullptr, 63);
    const int count = static_cast<int>(probe.size());
    probe.push_back('\0');
    return converter.XrateReceive(reinterpret_cast<const unsigned char*>(probe.data()), count);
}

std::size_t ProbeEchoLength(const std::string& output, const std::string& probe)
{
    std::size_t at = 0;
    while (!probe.empty() && output.compare(at, probe.size(), probe) == 0)
        at += probe.size();
    return at;
}
