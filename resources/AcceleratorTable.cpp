#include "resources/AcceleratorTable.h"

#include "resources/CommandIds.h"

namespace {

constexpr unsigned char kVirt = FVIRTKEY | FNOINVERT;

constexpr AcceleratorEntry kTable[] = {
    {kVirt | FCONTROL, 'C', ID_EDIT_COPY},
    {kVirt | FCONTROL, 'F', ID_EDIT_FIND},
    {kVirt | FCONTROL, 'R', ID_INSERT_CR},
    {kVirt | FCONTROL, 'S', ID_RECEIVE_ENABLE},
    {kVirt | FCONTROL, 'V', ID_EDIT_PASTE},
    {kVirt | FALT, VK_BACK, ID_EDIT_UNDO},
    {kVirt | FSHIFT, VK_DELETE, ID_EDIT_CUT},
    {kVirt, VK_F6, ID_NEXT_PANE},
    {kVirt | FSHIFT, VK_F6, ID_PREV_PANE},
    {kVirt | FCONTROL, VK_INSERT, ID_EDIT_COPY},
    {kVirt | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
    {kVirt | FCONTROL, 'X', ID_EDIT_CUT},
    {kVirt | FCONTROL | FSHIFT, 'A', ID_REPORT_SELECT_ALL},
    {kVirt | FCONTROL | FSHIFT, 'C', ID_REPORT_COPY_ALL},
    {kVirt | FCONTROL | FSHIFT, 'S', ID_REPORT_SAVE_AS},
    {kVirt | FCONTROL, 'Z', ID_EDIT_UNDO},
    // The report font: Ctrl+Plus with or without the Shift that "+" needs on some layouts.
    {kVirt | FCONTROL, VK_OEM_PLUS, ID_VIEW_ZOOM_IN},
    {kVirt | FCONTROL | FSHIFT, VK_OEM_PLUS, ID_VIEW_ZOOM_IN},
    {kVirt | FCONTROL, VK_OEM_MINUS, ID_VIEW_ZOOM_OUT},
    {kVirt | FCONTROL, '0', ID_VIEW_ZOOM_RESET},
    // The quick-send keys, in the order of QuickSendKeys().
    {kVirt, VK_F1, ID_QUICK_SEND_FIRST + 0},
    {kVirt, VK_F2, ID_QUICK_SEND_FIRST + 1},
    {kVirt, VK_F3, ID_QUICK_SEND_FIRST + 2},
    {kVirt, VK_F4, ID_QUICK_SEND_FIRST + 3},
    {kVirt, VK_F5, ID_QUICK_SEND_FIRST + 4},
    {kVirt, VK_F7, ID_QUICK_SEND_FIRST + 5},
    {kVirt, VK_F8, ID_QUICK_SEND_FIRST + 6},
    {kVirt, VK_F9, ID_QUICK_SEND_FIRST + 7},
    {kVirt, VK_F10, ID_QUICK_SEND_FIRST + 8},
    {kVirt, VK_F11, ID_QUICK_SEND_FIRST + 9},
    {kVirt, VK_F12, ID_QUICK_SEND_FIRST + 10},
};

} // namespace

std::span<const AcceleratorEntry> MainAcceleratorTable()
{
    return kTable;
}
