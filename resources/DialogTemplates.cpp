#include "resources/DialogTemplates.h"

#include "resources/CommandIds.h"

namespace {

constexpr DialogControl kSetupControls[] = {
    {ControlKind::DefPushButton, IDOK, "OK", 107, 7, 50, 14},
    {ControlKind::PushButton, IDCANCEL, "Cancel", 107, 24, 50, 14},
    {ControlKind::Label, IDC_STATIC, "Baud rate", 15, 47, 31, 8},
    {ControlKind::DropDownList, IDC_PORT_LIST, "", 25, 28, 48, 49},
    {ControlKind::Label, IDC_STATIC, "Port", 16, 15, 20, 8},
    {ControlKind::DropDownList, IDC_BAUD_LIST, "", 25, 60, 48, 54},
    // Where the selected port leads on this machine and whether it is there.
    {ControlKind::Label, IDC_PORT_PATH, "", 15, 78, 145, 8},
    // A rate the list does not offer, asked for as a number.
    {ControlKind::PushButton, IDC_OTHER_RATE, "Other...", 107, 59, 50, 14},
    {ControlKind::Label, IDC_RATE_USED, "", 15, 90, 145, 8},
    // The serial devices present; choosing one maps the selected port to it.
    {ControlKind::Label, IDC_STATIC, "Device", 15, 104, 40, 8},
    {ControlKind::DropDownList, IDC_DEVICE_LIST, "", 25, 116, 132, 60},
};

constexpr DialogTemplate kSetup{
    IDD_SETUP, "Communication Port Setting", 164, 138, "Arial", 9, kSetupControls};

constexpr DialogControl kAboutControls[] = {
    {ControlKind::Icon, IDR_MAINFRAME, "", 11, 17, 20, 20},
    {ControlKind::Label, IDC_STATIC, "Serial Line Monitor", 40, 10, 100, 8},
    {ControlKind::Label, IDC_STATIC, "Tamsel Version 1.1.2 , 100624", 40, 25, 119, 8},
    {ControlKind::DefPushButton, IDOK, "OK", 149, 7, 50, 14},
    {ControlKind::Label, IDC_STATIC, "Watches one serial line or an Orvane bus.", 40, 45, 160, 8},
    {ControlKind::Label, IDC_STATIC, "Linux edition, built with Qt 6.", 40, 57, 160, 8},
    {ControlKind::Label, IDC_STATIC, "By the Tamsel developers.", 40, 69, 160, 8},
};

constexpr DialogTemplate kAbout{
    IDD_ABOUTBOX, "About Tamsel", 206, 90, "Arial", 9, kAboutControls};

} // namespace

const DialogTemplate& SetupDialogTemplate()
{
    return kSetup;
}

const DialogTemplate& AboutDialogTemplate()
{
    return kAbout;
}
