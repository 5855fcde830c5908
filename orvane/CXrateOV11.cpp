#include "orvane/CXrateOV11.h"

CXrateOV11::CXrateOV11(void* owner, int ownNodeId) : CXrateOV(owner, ownNodeId, FrameVersion::V11)
{
}

CXrateOV11::~CXrateOV11() = default;
