#pragma once

#include "orvane/NodeTable.h"
#include "support/MessageBoxRecorder.h"
#include "xrate/CXrate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using testsupport::MessageBoxRecorder;

// Helpers for the transmit-side tests: send one command line through a
// converter the way the view does, and compare bytes as readable hex.

struct SentLine {
    const char* result = nullptr;
    int len = kSendText;
    std::vector<uint8_t> bytes;          // the len bytes returned, when len >= 0
    std::string textAfter;               // the caller's text as the converter left it
    std::vector<MessageBoxCall> boxes;
};

inline SentLine SendLine(CXrate& converter, const std::string& line)
{
    MessageBoxRecorder recorder;
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    SentLine sent;
    sent.result = converter.XrateSend(text.data(), sent.len);
    if (sent.len > 0)
        sent.bytes.assign(reinterpret_cast<const uint8_t*>(sent.result),
                          reinterpret_cast<const uint8_t*>(sent.result) + sent.len);
    sent.textAfter = text.data();
    sent.boxes = std::move(recorder.calls);
    return sent;
}

// "45 02 FD" to its bytes.
inline std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    unsigned value = 0;
    int consumed = 0;
    const char* p = text.c_str();
    while (std::sscanf(p, " %2x%n", &value, &consumed) == 1) {
        bytes.push_back(uint8_t(value));
        p += consumed;
    }
    return bytes;
}

inline std::string HexText(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char cell[4];
    for (uint8_t byte : bytes) {
        std::snprintf(cell, sizeof cell, "%s%02X", text.empty() ? "" : " ", byte);
        text += cell;
    }
    return text;
}

// Every test starts from an empty table in normal mode; the table and the flag
// outlive converters, so leftovers would leak between tests.
class FreshNodeTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureNodeTable();
        ClearNodeTable();
        RawMode = 0;
    }
    void TearDown() override
    {
        ClearNodeTable();
        RawMode = 0;
    }
};
