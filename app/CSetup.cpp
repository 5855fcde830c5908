#include "app/CSetup.h"

#include "app/DialogBuilder.h"
#include "resources/CommandIds.h"
#include "resources/DialogTemplates.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void FormatDeviceName(char* buffer, std::size_t size, int portIndex)
{
    // Widened so that no index, however it was read, overflows on the way.
    std::snprintf(buffer, size, "\\\\.\\COM%lld", static_cast<long long>(portIndex) + 1);
}

// atoi's reading of a number (white space, sign, digits), but clamped to the
// range of int instead of overflowing on a long run of digits.
long long ReadNumber(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return value;
}

} // namespace

void CSetup::SetPortFromName(const char* name)
{
    const char* com = name ? std::strstr(name, "COM") : nullptr;
    if (!com) {
        m_portIndex = 0;
        return;
    }
    const long long number = ReadNumber(com + 3);
    m_portIndex = number < 1 ? 0 : static_cast<int>(number - 1);
}

int CSetup::SetNearestBaud(int rate)
{
    int best = 0;
    for (int i = 0; kBaudRates[i] != 0; ++i) {
        // 64-bit distances: a rate near INT_MIN must not overflow.
        const long long distance = std::llabs(static_cast<long long>(kBaudRates[i]) - rate);
        const long long bestDistance = std::llabs(static_cast<long long>(kBaudRates[best]) - rate);
        if (distance < bestDistance)
            best = i;
    }
    m_baudIndex = best;
    return kBaudRates[best];
}

int CSetup::GetBaudRate() const
{
    // The lists always hold a rate, so the index is in the table; should it
    // ever not be, report no rate rather than read past the table.
    if (m_baudIndex < 0 || m_baudIndex >= kRateCount)
        return 0;
    return kBaudRates[m_baudIndex];
}

const char* CSetup::GetDeviceName()
{
    FormatDeviceName(m_deviceName, sizeof m_deviceName, m_portIndex);
    return m_deviceName;
}

std::string CSetup::DescribePort(int portIndex) const
{
    if (portIndex < 0 || !m_resolve)
        return {};
    char name[20];
    FormatDeviceName(name, sizeof name, portIndex);
    const std::string path = m_resolve(name);
    if (path.empty())
        return "no device for this port";
    const bool present = QFileInfo::exists(QString::fromStdString(path));
    return path + (present ? " (present)" : " (not found)");
}

int CSetup::DoModal(QWidget* parent)
{
    QDialog dialog(parent);
    BuildDialog(dialog, SetupDialogTemplate());
    auto* portList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_PORT_LIST));
    auto* baudList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_BAUD_LIST));
    auto* portPath = static_cast<QLabel*>(FindDialogControl(dialog, IDC_PORT_PATH));

    char entry[20];
    for (int port = 1; port <= kPortCount; ++port) {
        std::snprintf(entry, sizeof entry, "COM%d", port);
        portList->addItem(QString::fromLatin1(entry));
    }
    // An index outside the list selects nothing.
    portList->setCurrentIndex(m_portIndex < kPortCount ? m_portIndex : -1);
    for (int i = 0; kBaudRates[i] != 0; ++i) {
        std::snprintf(entry, sizeof entry, "%d bps", kBaudRates[i]);
        baudList->addItem(QString::fromLatin1(entry));
    }
    baudList->setCurrentIndex(m_baudIndex < kRateCount ? m_baudIndex : -1);

    auto showPath = [this, portPath](int index) {
        portPath->setText(QString::fromStdString(DescribePort(index)));
    };
    showPath(portList->currentIndex());
    QObject::connect(portList, &QComboBox::currentIndexChanged, portPath, showPath);

    // The focus starts on the first tab stop, OK.
    FindDialogControl(dialog, IDOK)->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return kDoModalCancel;
    m_portIndex = portList->currentIndex();
    m_baudIndex = baudList->currentIndex();
    return kDoModalOk;
}
