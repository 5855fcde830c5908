#include "app/CSetup.h"

#include "app/DialogBuilder.h"
#include "app/ProfileValues.h"
#include "resources/CommandIds.h"
#include "resources/DialogTemplates.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>

#include <cstdio>

void CSetup::SetPortFromName(const char* name)
{
    m_portIndex = PortIndexFromName(name);
}

int CSetup::SetNearestBaud(int rate)
{
    m_baudIndex = NearestBaudIndex(rate);
    return kBaudRates[m_baudIndex];
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

void CSetup::BuildOn(QDialog& dialog, const QFont& font) const
{
    BuildDialog(dialog, SetupDialogTemplate(), font);
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
    for (int i = 0; kBaudRates[i] != 0; ++i)
        baudList->addItem(QString::fromStdString(RateText(kBaudRates[i])));
    baudList->setCurrentIndex(m_baudIndex < kRateCount ? m_baudIndex : -1);

    auto showPath = [this, portPath, &dialog](int index) {
        portPath->setText(QString::fromStdString(DescribePort(index)));
        FitDialogToText(dialog);
    };
    showPath(portList->currentIndex());
    QObject::connect(portList, &QComboBox::currentIndexChanged, portPath, showPath);

    // The focus starts on the first tab stop, OK.
    FindDialogControl(dialog, IDOK)->setFocus();
}

int CSetup::DoModal(QWidget* parent)
{
    QDialog dialog(parent);
    const DialogTemplate& layout = SetupDialogTemplate();
    BuildOn(dialog, QFont(QString::fromUtf8(layout.fontFamily), layout.pointSize));
    auto* portList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_PORT_LIST));
    auto* baudList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_BAUD_LIST));
    if (dialog.exec() != QDialog::Accepted)
        return kDoModalCancel;
    m_portIndex = portList->currentIndex();
    m_baudIndex = baudList->currentIndex();
    return kDoModalOk;
}
