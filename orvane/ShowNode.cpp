#include "orvane/ShowNode.h"

#include "orvane/LowerCase.h"
#include "orvane/NodeTable.h"
#include "orvane/WordScan.h"
#include "xrate/CXrate.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace {

constexpr uint64_t kAllNodes = ~uint64_t(0);
constexpr int kMostWords = 3;

// Appends formatted text to a fixed buffer; text that would not fit is cut,
// and the buffer always stays terminated.
class ReportWriter {
public:
    ReportWriter(char* out, int capacity) : m_out(out), m_capacity(capacity) { m_out[0] = '\0'; }

    __attribute__((format(printf, 2, 3))) void Append(const char* format, ...)
    {
        if (m_used >= m_capacity - 1)
            return;
        va_list args;
        va_start(args, format);
        const std::size_t room = std::size_t(m_capacity - m_used);
        const int written = std::vsnprintf(m_out + m_used, room, format, args);
        va_end(args);
        if (written > 0)
            m_used = written < m_capacity - 1 - m_used ? m_used + written : m_capacity - 1;
    }

private:
    char* m_out;
    int m_capacity;
    int m_used = 0;
};

// A node number as shownode reads it: decimal only, digits up to the first
// other character, no digits reading as 0. Large numbers stay large rather
// than wrap into the range of node IDs.
int64_t ReadNodeNumber(const Word& word)
{
    const char* p = word.begin;
    const char* end = word.begin + word.length;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        if (value <= kNodeCount)
            value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

uint64_t NodesHeardFrom()
{
    uint64_t selection = 0;
    for (int i = 0; i < kNodeCount; ++i) {
        if (NodeTable[i].valid == 1)
            selection |= uint64_t(1) << i;
    }
    return selection;
}

uint64_t Selection(const Word* words, int count)
{
    if (count == 2)
        return NodesHeardFrom();
    if (WordIs(words[2], "all"))
        return kAllNodes;
    const int64_t node = ReadNodeNumber(words[2]);
    return node >= 0 && node < kNodeCount ? uint64_t(1) << node : 0;
}

void WriteValidNodes(ReportWriter& report)
{
    char row[kNodeCount + 1];
    for (int i = 0; i < kNodeCount; ++i)
        row[i] = NodeTable[i].valid == 1 ? char('0' + i % 10) : '-';
    row[kNodeCount] = '\0';
    report.Append("Valid Nodes: %s\r\n", row);
}

void WriteReg16(ReportWriter& report, uint64_t selection)
{
    for (int i = 0; i < kNodeCount; ++i) {
        if (!(selection >> i & 1))
            continue;
        report.Append("Node %d(%02X)  16bit registers\r\n", i, unsigned(i));
        for (int j = 0; j < kRegisterCount; ++j) {
            const RegisterSlot& slot = NodeTable[i].reg16[j];
            if (slot.valid == 1)
                report.Append("%5u(%04X) ", uint32_t(slot.value), uint32_t(slot.value));
            else
                report.Append("-----(----) ");
            if (j % 8 == 7)
                report.Append("\r\n");
        }
    }
}

void WriteReg32(ReportWriter& report, uint64_t selection)
{
    for (int i = 0; i < kNodeCount; ++i) {
        if (!(selection >> i & 1))
            continue;
        report.Append("Node %d(%02X)  32bit registers\r\n", i, unsigned(i));
        for (int j = 0; j < kRegisterCount; ++j) {
            const RegisterSlot& slot = NodeTable[i].reg32[j];
            if (slot.valid == 1)
                report.Append("%10u(%08X) ", uint32_t(slot.value), uint32_t(slot.value));
            else
                report.Append("----------(--------) ");
            if (j % 4 == 3)
                report.Append("\r\n");
        }
    }
}

} // namespace

const char* ShowNode(char* text, int& len, char* out, int capacity)
{
    len = kSendReport;
    LowerCase(text);
    Word words[kMostWords];
    int count = 0;
    const char* position = text;
    while (count < kMostWords) {
        const Word word = NextWord(position);
        if (word.length == 0)
            break;
        words[count++] = word;
    }

    ReportWriter report(out, capacity);
    if (count <= 1) {
        WriteValidNodes(report);
        return out;
    }
    const uint64_t selection = Selection(words, count);
    if (WordIs(words[1], "clear"))
        ClearNodeTable();
    else if (WordIs(words[1], "reg16"))
        WriteReg16(report, selection);
    else if (WordIs(words[1], "reg32"))
        WriteReg32(report, selection);
    else
        report.Append("unknown 'shownode ( /clear/reg16/reg32)' command\r\n");
    return out;
}
