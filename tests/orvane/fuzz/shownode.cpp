// shownode lines of any bytes against a table in any state: the report always
// ends inside the transmit buffer.
//
// Input: one byte choosing the table (bit 0: every node heard from with the
// widest register values; bit 1: a few nodes with small values), then the rest
// of the line after "shownode".

#include "orvane/CXrateOV.h"
#include "orvane/NodeTable.h"

#include "SendFuzzCheck.h"

#include <string>

namespace {

void PrepareTable(uint8_t choice)
{
    ClearNodeTable();
    for (int node = 0; node < kNodeCount; ++node) {
        const bool widest = choice & 1;
        const bool some = (choice & 2) && node % 7 == 0;
        if (!widest && !some)
            continue;
        NodeTable[node].valid = 1;
        for (int reg = 0; reg < kRegisterCount; ++reg) {
            const int32_t value = widest ? -1 : node * 100 + reg;
            NodeTable[node].reg16[reg] = {1, value};
            NodeTable[node].reg32[reg] = {1, value};
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CXrateOV converter(nullptr, 63);
    SilenceMessageBoxes();
    PrepareTable(size > 0 ? data[0] : 0);
    std::string line = "shownode";
    if (size > 1)
        line.append(reinterpret_cast<const char*>(data + 1), size - 1);
    int len = -1;
    const char* result = converter.XrateSend(line.data(), len);
    Require(len == -2);
    Require(result != nullptr);
    Require(std::memchr(result, '\0', kTransmitDataSize) != nullptr);
    return 0;
}
