#include "orvane/NodeTable.h"

#include "orvane/NodeTableObserver.h"

#include "xrate/UserInterfaceThread.h"

#include <cassert>
#include <cstdlib>

NodeEntry* NodeTable = nullptr;
int32_t RawMode = 0;

void EnsureNodeTable()
{
    assert(OnUserInterfaceThread());
    if (NodeTable)
        return;
    NodeTable = new NodeEntry[kNodeCount];
    ClearNodeTable();
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(FreeNodeTable);
    }
}

void ClearNodeTable()
{
    if (!NodeTable)
        return;
    for (int i = 0; i < kNodeCount; ++i)
        NodeTable[i] = NodeEntry{};
    if (NodeTableObserver* observer = CurrentNodeTableObserver())
        observer->OnTableCleared();
}

void FreeNodeTable()
{
    delete[] NodeTable;
    NodeTable = nullptr;
}
