#pragma once

#include "devices/SerialDevice.h"
#include "serial/BaudRates.h"
#include "serial/PortMap.h"

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QDialog;
class QFont;
class QWidget;

// The port setup dialog object. It lives as long as the frame and holds the
// system's current port settings as two indices: the port index (0 is COM1)
// and the baud index (a position in the baud-rate table). Each run of the
// dialog builds the window and its two lists anew; only the indices carry
// over. OK stores the lists' selections (-1 for a list with none), Cancel
// leaves the indices as they were.
//
// Beside the indices it holds an other rate: a rate the table lacks (from 50
// to 4000000 bps), chosen with the dialog's "Other..." button or given on the
// command line, or 0. With one, the baud index is that of its nearest table
// entry, so what the profile's rate key means stays as it was; the line runs
// at the other rate. Choosing a rate of the list drops it.
//
// Below the two lists a third, Device, offers the serial devices present.
// Choosing one and OK leaves its stable name (by-id when it has one, else its
// node) as the chosen device: the frame maps the selected port to it. Each
// run of the dialog starts with none chosen; the indices do not depend on it.
class CSetup {
public:
    // Rates offered, ended by a 0 entry; COM1 to COM20.
    static constexpr const auto& kBaudRates = ::kBaudRates;
    static constexpr int kRateCount = ::kRateCount;
    static constexpr int kPortCount = kMappedPorts;
    static constexpr int kDoModalOk = 1;
    static constexpr int kDoModalCancel = 2;

    // Tells where a device name leads on this machine; empty when nowhere.
    using PortResolver = std::function<std::string(const char* deviceName)>;
    // The serial devices present, listed when the dialog opens.
    using DeviceLister = std::function<std::vector<SerialDevice>()>;

    CSetup() = default;

    // Runs the dialog over parent; returns kDoModalOk or kDoModalCancel.
    int DoModal(QWidget* parent);
    // Lays the dialog out in font, fills its lists and selects the current
    // port and rate; every text fits whole. DoModal uses the template's font.
    void BuildOn(QDialog& dialog, const QFont& font) const;

    void SetPortFromName(const char* name);
    // Also drops the other rate: the index now says the rate.
    int SetNearestBaud(int rate);
    int GetBaudRate() const;
    const char* GetDeviceName();

    // A table rate or an out-of-range one as SetNearestBaud; any other line
    // rate becomes the other rate.
    void SetLineRate(int rate);
    // The rate the line runs at: the other rate, else the table entry.
    int GetLineRate() const;
    int OtherRate() const { return m_otherRate; }

    int PortIndex() const { return m_portIndex; }
    int BaudIndex() const { return m_baudIndex; }

    void SetPortResolver(PortResolver resolver) { m_resolve = std::move(resolver); }
    void SetDeviceLister(DeviceLister lister) { m_listDevices = std::move(lister); }

    // The path of the device chosen in the last run of the dialog, when it
    // ended with OK; empty when none was chosen.
    const std::string& ChosenDevice() const { return m_chosenDevice; }

private:
    std::string DescribePort(int portIndex) const;
    void BuildOtherRate(QDialog& dialog, QComboBox& baudList) const;
    void BuildDeviceList(QComboBox& deviceList) const;

    int m_portIndex = 0;
    int m_baudIndex = 3;
    int m_otherRate = 0;
    char m_deviceName[20] = {};
    PortResolver m_resolve;
    DeviceLister m_listDevices;
    std::string m_chosenDevice;
};
