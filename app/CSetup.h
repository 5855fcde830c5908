#pragma once

#include "serial/BaudRates.h"
#include "serial/PortMap.h"

#include <functional>
#include <string>

class QDialog;
class QFont;
class QWidget;

// The port setup dialog object. It lives as long as the frame and holds the
// system's current port settings as two indices: the port index (0 is COM1)
// and the baud index (a position in the baud-rate table). Each run of the
// dialog builds the window and its two lists anew; only the indices carry
// over. OK stores the lists' selections (-1 for a list with none), Cancel
// leaves the indices as they were.
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

    CSetup() = default;

    // Runs the dialog over parent; returns kDoModalOk or kDoModalCancel.
    int DoModal(QWidget* parent);
    // Lays the dialog out in font, fills its lists and selects the current
    // port and rate; every text fits whole. DoModal uses the template's font.
    void BuildOn(QDialog& dialog, const QFont& font) const;

    void SetPortFromName(const char* name);
    int SetNearestBaud(int rate);
    int GetBaudRate() const;
    const char* GetDeviceName();

    int PortIndex() const { return m_portIndex; }
    int BaudIndex() const { return m_baudIndex; }

    void SetPortResolver(PortResolver resolver) { m_resolve = std::move(resolver); }

private:
    std::string DescribePort(int portIndex) const;

    int m_portIndex = 0;
    int m_baudIndex = 3;
    char m_deviceName[20] = {};
    PortResolver m_resolve;
};
