#include "xrate/UserInterfaceThread.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<std::thread::id> g_marked{};

} // namespace

void MarkUserInterfaceThread()
{
    g_marked.store(std::this_thread::get_id(), std::memory_order_release);
}

bool OnUserInterfaceThread()
{
    const std::thread::id marked = g_marked.load(std::memory_order_acquire);
    return marked == std::thread::id{} || marked == std::this_thread::get_id();
}
