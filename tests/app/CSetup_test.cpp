#include "app/CSetup.h"
#include "app/DialogBuilder.h"
#include "resources/CommandIds.h"

#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>

#include <climits>
#include <vector>
#include <cstring>
#include <string>

namespace {

struct PortNameCase {
    const char* name;
    int index;
};

void PrintTo(const PortNameCase& c, std::ostream* out)
{
    *out << '"' << c.name << '"';
}

class PortNames : public testing::TestWithParam<PortNameCase> {};

TEST_P(PortNames, GiveThePortIndex)
{
    CSetup setup;
    setup.SetNearestBaud(9600);
    setup.SetPortFromName("COM9");
    setup.SetPortFromName(GetParam().name);
    EXPECT_EQ(setup.PortIndex(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Setup, PortNames,
    testing::Values(PortNameCase{"COM3", 2}, PortNameCase{"COM1", 0},
                    PortNameCase{"\\\\.\\COM12", 11}, PortNameCase{"my COM12 port", 11},
                    PortNameCase{"COM 5", 4}, PortNameCase{"COM+7", 6}, PortNameCase{"com4", 0},
                    PortNameCase{"COMX", 0}, PortNameCase{"COM0", 0}, PortNameCase{"COM-2", 0},
                    PortNameCase{"", 0}, PortNameCase{"COM25", 24}, PortNameCase{"COM7x", 6},
                    // A number past int's range is clamped, not overflowed.
                    PortNameCase{"COM99999999999999", INT_MAX - 1}));

TEST(Setup, NoNameGivesPortOne)
{
    CSetup setup;
    setup.SetPortFromName("COM4");
    setup.SetPortFromName(nullptr);
    EXPECT_EQ(setup.PortIndex(), 0);
}

struct RateCase {
    int asked;
    int chosen;
    int index;
};

void PrintTo(const RateCase& c, std::ostream* out)
{
    *out << c.asked << " bps";
}

class Rates : public testing::TestWithParam<RateCase> {};

TEST_P(Rates, GiveTheNearestTableEntry)
{
    CSetup setup;
    EXPECT_EQ(setup.SetNearestBaud(GetParam().asked), GetParam().chosen);
    EXPECT_EQ(setup.BaudIndex(), GetParam().index);
    EXPECT_EQ(setup.GetBaudRate(), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Rates,
    testing::Values(RateCase{115200, 115200, 6}, RateCase{200000, 115200, 6},
                    RateCase{9600, 9600, 2}, RateCase{10000, 9600, 2}, RateCase{4800, 1200, 1},
                    // Equally near two entries: the first, smaller one wins.
                    RateCase{750, 300, 0}, RateCase{5400, 1200, 1}, RateCase{0, 300, 0},
                    RateCase{-9600, 300, 0}, RateCase{INT_MIN, 300, 0},
                    RateCase{INT_MAX, 115200, 6}));

TEST(Setup, StartsOnComOneAt19200)
{
    CSetup setup;
    EXPECT_EQ(setup.PortIndex(), 0);
    EXPECT_EQ(setup.GetBaudRate(), 19200);
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM1");
}

TEST(Setup, DeviceNamesHaveTheDeviceForm)
{
    CSetup setup;
    setup.SetPortFromName("COM1");
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM1");
    EXPECT_EQ(std::strlen(setup.GetDeviceName()), 8u);
    setup.SetPortFromName("COM20");
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM20");
    EXPECT_EQ(std::strlen(setup.GetDeviceName()), 9u);
    setup.SetPortFromName("COM99999999999999");
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM2147483647");
}

// The dialog: what it offers, and OK, Cancel and no selection.

QComboBox* List(QDialog& dialog, int id)
{
    return qobject_cast<QComboBox*>(FindDialogControl(dialog, id));
}

void Click(QDialog& dialog, int id)
{
    qobject_cast<QPushButton*>(FindDialogControl(dialog, id))->click();
}

QStringList Entries(QComboBox* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

TEST(SetupDialog, OffersTwentyPortsAndSevenRatesInOrder)
{
    CSetup setup;
    QStringList ports;
    QStringList rates;
    QString title;
    WhenModal([&](QDialog& dialog) {
        title = dialog.windowTitle();
        ports = Entries(List(dialog, IDC_PORT_LIST));
        rates = Entries(List(dialog, IDC_BAUD_LIST));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalCancel);
    EXPECT_EQ(title, "Communication Port Setting");
    ASSERT_EQ(ports.size(), 20);
    EXPECT_EQ(ports.first(), "COM1");
    EXPECT_EQ(ports[9], "COM10");
    EXPECT_EQ(ports.last(), "COM20");
    EXPECT_EQ(rates, QStringList({"300 bps", "1200 bps", "9600 bps", "19200 bps", "38400 bps",
                                  "57600 bps", "115200 bps"}));
}
struct LineRateCase {
    int asked;
    int index;      // the baud index, which the profile's rate key stores
    int otherRate;  // a rate beyond the table, else 0
};

void PrintTo(const LineRateCase& c, std::ostream* out)
{
    *out << c.asked << " bps";
}

class LineRates : public testing::TestWithParam<LineRateCase> {};

TEST_P(LineRates, KeepARateBeyondTheTableBesideItsNearestEntry)
{
    CSetup setup;
    setup.SetLineRate(GetParam().asked);
    EXPECT_EQ(setup.BaudIndex(), GetParam().index);
    EXPECT_EQ(setup.OtherRate(), GetParam().otherRate);
    EXPECT_EQ(setup.GetBaudRate(), CSetup::kBaudRates[GetParam().index]);
    EXPECT_EQ(setup.GetLineRate(), GetParam().otherRate ? GetParam().otherRate : setup.GetBaudRate());
    // A rate chosen from the table drops the other rate.
    setup.SetNearestBaud(9600);
    EXPECT_EQ(setup.OtherRate(), 0);
    EXPECT_EQ(setup.GetLineRate(), 9600);
}

INSTANTIATE_TEST_SUITE_P(
    Setup, LineRates,
    testing::Values(LineRateCase{250000, 6, 250000}, LineRateCase{115200, 6, 0}, LineRateCase{4800, 1, 4800},
                    LineRateCase{50, 0, 50}, LineRateCase{4000000, 6, 4000000},
                    // Out of the line's range: the nearest entry only, as the profile's rate key.
                    LineRateCase{49, 0, 0}, LineRateCase{4000001, 6, 0}, LineRateCase{-9600, 0, 0}));

TEST(SetupDialog, OtherAsksForARateAndOkKeepsIt)
{
    CSetup setup;
    setup.SetNearestBaud(9600);
    QString shownAfterOther;
    int listAfterOther = -2;
    WhenModal([&](QDialog& dialog) {
        WhenModal([](QDialog& ask) {
            auto* input = qobject_cast<QInputDialog*>(&ask);
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->intValue(), 9600) << "asks from the rate selected";
            input->setIntValue(250000);
            ask.accept();
        });
        Click(dialog, IDC_OTHER_RATE);
        shownAfterOther = qobject_cast<QLabel*>(FindDialogControl(dialog, IDC_RATE_USED))->text();
        listAfterOther = List(dialog, IDC_BAUD_LIST)->currentIndex();
        Click(dialog, IDOK);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalOk);
    EXPECT_EQ(shownAfterOther, "Rate used: 250000 bps (not in the list)");
    EXPECT_EQ(listAfterOther, 6);
    EXPECT_EQ(setup.GetLineRate(), 250000);
    EXPECT_EQ(setup.GetBaudRate(), 115200);

    // Cancel keeps it; a rate picked from the list then drops it.
    QString shownAgain;
    WhenModal([&](QDialog& dialog) {
        shownAgain = qobject_cast<QLabel*>(FindDialogControl(dialog, IDC_RATE_USED))->text();
        List(dialog, IDC_BAUD_LIST)->setCurrentIndex(2);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalCancel);
    EXPECT_EQ(shownAgain, "Rate used: 250000 bps (not in the list)");
    EXPECT_EQ(setup.GetLineRate(), 250000);
    WhenModal([&](QDialog& dialog) {
        List(dialog, IDC_BAUD_LIST)->setCurrentIndex(2);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalOk);
    EXPECT_EQ(setup.OtherRate(), 0);
    EXPECT_EQ(setup.GetLineRate(), 9600);
}

TEST(SetupDialog, TabOrderIsTemplateOrderStartingAtOk)
{
    CSetup setup;
    QStringList order;
    WhenModal([&](QDialog& dialog) {
        QWidget* widget = dialog.focusWidget();
        for (int i = 0; i < 4 && widget; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (widget && widget->focusPolicy() == Qt::NoFocus)
                widget = widget->nextInFocusChain();
        }
        Click(dialog, IDCANCEL);
    });
    setup.DoModal(nullptr);
    EXPECT_EQ(order, QStringList({"1", "2", "1000", "1001"}));
}

TEST(SetupDialog, OkStoresTheChoiceAndTheNextRunShowsIt)
{
    CSetup setup;
    WhenModal([&](QDialog& dialog) {
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(6);
        List(dialog, IDC_BAUD_LIST)->setCurrentIndex(6);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalOk);
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM7");
    EXPECT_EQ(setup.GetBaudRate(), 115200);

    int port = -2;
    int rate = -2;
    WhenModal([&](QDialog& dialog) {
        port = List(dialog, IDC_PORT_LIST)->currentIndex();
        rate = List(dialog, IDC_BAUD_LIST)->currentIndex();
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(0);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalCancel);
    EXPECT_EQ(port, 6);
    EXPECT_EQ(rate, 6);
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM7");
}

TEST(SetupDialog, EscapeIsCancel)
{
    CSetup setup;
    setup.SetPortFromName("COM3");
    WhenModal([&](QDialog& dialog) {
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(9);
        dialog.reject();
    });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalCancel);
    EXPECT_EQ(setup.PortIndex(), 2);
}

TEST(SetupDialog, PortBeyondTheListOpensWithNoneSelected)
{
    CSetup setup;
    setup.SetPortFromName("COM25");
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM25");

    int shown = -2;
    WhenModal([&](QDialog& dialog) {
        shown = List(dialog, IDC_PORT_LIST)->currentIndex();
        Click(dialog, IDCANCEL);
    });
    setup.DoModal(nullptr);
    EXPECT_EQ(shown, -1);
    EXPECT_EQ(setup.PortIndex(), 24);

    WhenModal([&](QDialog& dialog) { Click(dialog, IDOK); });
    EXPECT_EQ(setup.DoModal(nullptr), CSetup::kDoModalOk);
    EXPECT_EQ(setup.PortIndex(), -1);
    EXPECT_STREQ(setup.GetDeviceName(), "\\\\.\\COM0");
}

TEST(SetupDialog, ShowsWhereTheSelectedPortLeads)
{
    CSetup setup;
    setup.SetPortResolver([](const char* name) -> std::string {
        if (std::strcmp(name, "\\\\.\\COM1") == 0)
            return "/dev/null";
        if (std::strcmp(name, "\\\\.\\COM2") == 0)
            return "/dev/tamsel-no-such-device";
        if (std::strcmp(name, "\\\\.\\COM4") == 0)
            return "rfc2217://lab-rack-2:7001";
        return {};
    });
    QStringList shown;
    WhenModal([&](QDialog& dialog) {
        auto* path = qobject_cast<QLabel*>(FindDialogControl(dialog, IDC_PORT_PATH));
        shown << path->text();
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(1);
        shown << path->text();
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(2);
        shown << path->text();
        List(dialog, IDC_PORT_LIST)->setCurrentIndex(3);
        shown << path->text();
        Click(dialog, IDCANCEL);
    });
    setup.DoModal(nullptr);
    EXPECT_EQ(shown, QStringList({"/dev/null (present)", "/dev/tamsel-no-such-device (not found)",
                                  "no device for this port", "rfc2217://lab-rack-2:7001 (network line)"}));
}

const std::vector<SerialDevice> kDevices = {
    {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "", "0403", "6001", "FTDI",
     "FT232R USB UART", "A50285BI", "ftdi_sio", "00"},
    {"/dev/ttyS0", "", "", "", "", "", "", "", "serial", ""},
};

TEST(SetupDialog, DeviceListOffersTheDevicesAndOkNamesTheOneChosen)
{
    struct Case {
        int entry;        // chosen in the Device list
        bool ok;
        const char* chosen;
    };
    const Case cases[] = {
        {1, true, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
        {2, true, "/dev/ttyS0"},  // no stable name: its node
        {0, true, ""},            // keep the port's device
        {1, false, ""},           // Cancel chooses nothing
    };
    for (const Case& c : cases) {
        CSetup setup;
        setup.SetPortFromName("COM6");
        setup.SetDeviceLister([] { return kDevices; });
        QStringList entries;
        WhenModal([&](QDialog& dialog) {
            entries = Entries(List(dialog, IDC_DEVICE_LIST));
            List(dialog, IDC_DEVICE_LIST)->setCurrentIndex(c.entry);
            Click(dialog, c.ok ? IDOK : IDCANCEL);
        });
        setup.DoModal(nullptr);
        EXPECT_EQ(entries, QStringList({"(keep the port's device)", "FT232R USB UART A50285BI (/dev/ttyUSB0)",
                                        "serial (/dev/ttyS0)"}));
        EXPECT_EQ(setup.ChosenDevice(), c.chosen) << c.entry;
        EXPECT_EQ(setup.PortIndex(), 5) << "the port list is the dialog's own";
    }

    CSetup none;
    QStringList entries;
    WhenModal([&](QDialog& dialog) {
        entries = Entries(List(dialog, IDC_DEVICE_LIST));
        Click(dialog, IDOK);
    });
    none.DoModal(nullptr);
    EXPECT_EQ(entries, QStringList({"(no serial device found)"}));
    EXPECT_EQ(none.ChosenDevice(), "");
}

TEST(SetupDialog, DeviceListTakesATypedNetworkLineOrPath)
{
    const struct {
        const char* typed;
        const char* chosen;
    } cases[] = {
        {"rfc2217://lab-rack-2:7001", "rfc2217://lab-rack-2:7001"},
        {"  tcp://10.0.0.5:2000 ", "tcp://10.0.0.5:2000"},
        {"/dev/ttyAMA0", "/dev/ttyAMA0"},
        {"lab-rack-2:7001", ""},  // neither a URL nor a path: nothing chosen
    };
    for (const auto& c : cases) {
        CSetup setup;
        setup.SetDeviceLister([] { return kDevices; });
        QStringList entries;
        WhenModal([&](QDialog& dialog) {
            List(dialog, IDC_DEVICE_LIST)->setEditText(QString::fromLatin1(c.typed));
            entries = Entries(List(dialog, IDC_DEVICE_LIST));
            Click(dialog, IDOK);
        });
        setup.DoModal(nullptr);
        EXPECT_EQ(setup.ChosenDevice(), c.chosen) << c.typed;
        EXPECT_EQ(entries.size(), 3) << "typing adds no entry";
    }
}

} // namespace
