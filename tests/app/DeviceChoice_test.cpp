#include "ShellFixture.h"
#include "ModalDriver.h"
#include "app/DialogBuilder.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>

using testsupport::PseudoTerminal;

namespace {

// A device chosen in the setup dialog for the port in use: the port leads
// there at once, though its name and rate stay, and the profile keeps it.
TEST(DeviceChoice, MapsThePortToTheDevicesStableNameAndOpensIt)
{
    StoreProfile({{"comport", "COM2"}});
    PseudoTerminal pty;
    QTemporaryDir byId;
    const std::string link = byId.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")).toStdString();
    std::filesystem::create_symlink(pty.Path(), link);

    Shell shell;
    ASSERT_TRUE(shell.started);
    EXPECT_EQ(shell.View().Session().GetLineState(), LineState::kNoPort);  // COM2 leads nowhere in tests
    shell.Frame().Setup().SetDeviceLister(
        [&] { return std::vector<SerialDevice>{{pty.Path(), link, "", "0403", "6001", "FTDI", "FT232R USB UART",
                                                "A50285BI", "ftdi_sio", "00"}}; });
    WhenModal([](QDialog& dialog) {
        qobject_cast<QComboBox*>(FindDialogControl(dialog, IDC_DEVICE_LIST))->setCurrentIndex(1);
        qobject_cast<QPushButton*>(FindDialogControl(dialog, IDOK))->click();
    });
    shell.Frame().OnCommand(ID_COMM_SETTING);

    EXPECT_EQ(shell.View().Session().Ports().Resolve("\\\\.\\COM2"), link);
    EXPECT_EQ(shell.View().Session().GetLineState(), LineState::kOpen);
    EXPECT_EQ(Profile().value(QStringLiteral("ports/COM2")).toString().toStdString(), link);
    // The six settings are still written by the save command only.
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/comspeed")));
}

} // namespace
