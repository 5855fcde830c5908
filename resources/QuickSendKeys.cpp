#include "resources/QuickSendKeys.h"

#include "resources/AcceleratorTable.h"
#include "resources/CommandIds.h"

namespace {

constexpr QuickSendKey kKeys[] = {
    {VK_F1, "F1", ID_QUICK_SEND_FIRST + 0},   {VK_F2, "F2", ID_QUICK_SEND_FIRST + 1},
    {VK_F3, "F3", ID_QUICK_SEND_FIRST + 2},   {VK_F4, "F4", ID_QUICK_SEND_FIRST + 3},
    {VK_F5, "F5", ID_QUICK_SEND_FIRST + 4},   {VK_F7, "F7", ID_QUICK_SEND_FIRST + 5},
    {VK_F8, "F8", ID_QUICK_SEND_FIRST + 6},   {VK_F9, "F9", ID_QUICK_SEND_FIRST + 7},
    {VK_F10, "F10", ID_QUICK_SEND_FIRST + 8}, {VK_F11, "F11", ID_QUICK_SEND_FIRST + 9},
    {VK_F12, "F12", ID_QUICK_SEND_FIRST + 10},
};
static_assert(ID_QUICK_SEND_FIRST + static_cast<int>(std::size(kKeys)) - 1 == ID_QUICK_SEND_LAST);

} // namespace

std::span<const QuickSendKey> QuickSendKeys()
{
    return kKeys;
}
