#pragma once

#include <cstdint>

// The bus as the Orvane conversions have heard it: one entry per node ID with
// the last value each register reply carried. One table per process, made by
// the first protocol converter and kept across every conversion switch; only
// the decoder and "shownode clear" change it. RawMode picks how the decoder
// renders register packets (0 readable lines, 1 comma-separated records).
// Both live on the user-interface thread only.

inline constexpr int kNodeCount = 64;
inline constexpr int kRegisterCount = 16;

struct RegisterSlot {
    int32_t valid;  // 1 once a reply for this register has been decoded
    int32_t value;  // meaningful only while valid
};

struct NodeEntry {
    int32_t valid;  // 1 once a packet from this node has been decoded
    RegisterSlot reg16[kRegisterCount];
    RegisterSlot reg32[kRegisterCount];
};

// nullptr until the first protocol converter is constructed.
extern NodeEntry* NodeTable;
extern int32_t RawMode;

// Makes the table if none exists yet (cleared, released at exit); otherwise leaves it alone.
void EnsureNodeTable();
void ClearNodeTable();
void FreeNodeTable();
