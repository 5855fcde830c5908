#include "orvane/CXrateOV.h"

#include "orvane/NodeTable.h"

CXrateOV::CXrateOV(void* owner, int ownNodeId) : CXrate(owner), OwnNodeId(ownNodeId)
{
    EnsureNodeTable();
}

// The node table outlives every converter.
CXrateOV::~CXrateOV() = default;
