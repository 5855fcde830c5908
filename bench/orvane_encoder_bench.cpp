// Encoder throughput: command lines and statements per second through
// XrateSend, for a mix of statements like those typed at a bus under bring-up
// (register polls and writes, memory access, bulk transfers, profile replies,
// several statements per line). Each iteration copies the line first, as the
// view does, since XrateSend writes into the text.

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "xrate/MessageBox.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const char* const kLines[] = {
    "get16 5 3",
    "set16 12 2 0x1234",
    "get32 all 7",
    "set32 this 1 -1",
    "reply16 5 3 4660",
    "read8 7 0x1000",
    "write16 9 0x12345 0x1FF",
    "mreply8 3 0x20 0x7F",
    "bulkset 5 16 8 1 2 3 4 5 6 7 8",
    "bulkget 5 16 8",
    "repprof 5 Pump controller rev C, firmware 1.2.7",
    "get16 5 3;get16 5 4;get16 5 5;get16 5 6",
    "burst 1 2 3 4 5",
    "setid 5 9",
    "nops;reset 9",
    "RESET ALL",
};
constexpr int kLineCount = int(sizeof kLines / sizeof kLines[0]);

// Statements on a line: one more than its ';' separators.
int Statements(const char* line)
{
    int count = 1;
    for (const char* c = line; *c; ++c)
        count += *c == ';';
    return count;
}

// A refusal in the mix would mean the figures measure message boxes.
void FailOnMessageBox()
{
    SetMessageBoxHandler([](const MessageBoxCall& call) -> int {
        std::fprintf(stderr, "unexpected message: %s\n", call.text.c_str());
        std::abort();
    });
}

template <class Converter>
void EncodeLines(benchmark::State& state)
{
    FailOnMessageBox();
    auto converter = std::make_unique<Converter>(nullptr, 63);
    char text[256];
    int index = 0;
    long bytes = 0;
    long statements = 0;
    for (auto _ : state) {
        std::snprintf(text, sizeof text, "%s", kLines[index]);
        statements += Statements(kLines[index]);
        index = index + 1 == kLineCount ? 0 : index + 1;
        int len = -1;
        const char* result = converter->XrateSend(text, len);
        benchmark::DoNotOptimize(result);
        bytes += len;
    }
    state.SetBytesProcessed(bytes);
    state.counters["lines/s"] = benchmark::Counter(double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["statements/s"] = benchmark::Counter(double(statements),
                                                        benchmark::Counter::kIsRate);
}

BENCHMARK_TEMPLATE(EncodeLines, CXrateOV)->Name("OrvaneEncoder/v1.0");
BENCHMARK_TEMPLATE(EncodeLines, CXrateOV11)->Name("OrvaneEncoder/v1.1");

} // namespace

BENCHMARK_MAIN();
