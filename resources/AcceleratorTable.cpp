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
};

} // namespace

std::span<const AcceleratorEntry> MainAcceleratorTable()
{
    return kTable;
}
