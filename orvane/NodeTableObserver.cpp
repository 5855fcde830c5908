#include "orvane/NodeTableObserver.h"

namespace {

NodeTableObserver* g_observer = nullptr;

} // namespace

NodeTableObserver* SetNodeTableObserver(NodeTableObserver* observer)
{
    NodeTableObserver* previous = g_observer;
    g_observer = observer;
    return previous;
}

NodeTableObserver* CurrentNodeTableObserver()
{
    return g_observer;
}
