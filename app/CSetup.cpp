#include "app/CSetup.h"

#include "app/DialogBuilder.h"
#include "profile/ProfileValues.h"
#include "resources/CommandIds.h"
#include "resources/DialogTemplates.h"

#include "serial/LineKinds.h"
#include "serial/LineRate.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QVariant>

#include <cstdio>

namespace {

constexpr char kOtherRateProperty[] = "otherRate";

// What the Device list names: an entry's stable name, or the text typed in
// when it is a network line's URL or a device path; anything else names none.
std::string ChosenPlace(const QComboBox& list)
{
    const QString text = list.currentText().trimmed();
    if (list.currentIndex() >= 0 && list.itemText(list.currentIndex()) == text)
        return list.currentData().toString().toStdString();
    const std::string typed = text.toStdString();
    return IsNetworkPlace(typed) || typed.starts_with('/') ? typed : std::string();
}

} // namespace

void CSetup::SetPortFromName(const char* name)
{
    m_portIndex = PortIndexFromName(name);
}

int CSetup::SetNearestBaud(int rate)
{
    m_baudIndex = NearestBaudIndex(rate);
    m_otherRate = 0;
    return kBaudRates[m_baudIndex];
}

void CSetup::SetLineRate(int rate)
{
    SetNearestBaud(rate);
    if (IsLineRate(rate) && rate != kBaudRates[m_baudIndex])
        m_otherRate = rate;
}

int CSetup::GetLineRate() const
{
    return m_otherRate != 0 ? m_otherRate : GetBaudRate();
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
    // A server is not looked for here: the dialog must not wait on the network.
    if (IsNetworkPlace(path))
        return path + " (network line)";
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
    BuildOtherRate(dialog, *baudList);
    BuildDeviceList(*static_cast<QComboBox*>(FindDialogControl(dialog, IDC_DEVICE_LIST)));
    FitDialogToText(dialog);

    // The focus starts on the first tab stop, OK.
    FindDialogControl(dialog, IDOK)->setFocus();
}

void CSetup::BuildOtherRate(QDialog& dialog, QComboBox& baudList) const
{
    // The rate being chosen lives on the dialog until OK takes it.
    auto* used = static_cast<QLabel*>(FindDialogControl(dialog, IDC_RATE_USED));
    auto* other = static_cast<QPushButton*>(FindDialogControl(dialog, IDC_OTHER_RATE));
    auto show = [used, &dialog](int rate) {
        dialog.setProperty(kOtherRateProperty, rate);
        used->setText(rate != 0 ? QStringLiteral("Rate used: %1 (not in the list)")
                                      .arg(QString::fromStdString(RateText(rate)))
                                : QString());
        FitDialogToText(dialog);
    };
    show(m_otherRate);
    QObject::connect(&baudList, &QComboBox::currentIndexChanged, used, [show] { show(0); });
    QObject::connect(other, &QPushButton::clicked, &dialog, [show, &dialog, &baudList] {
        const int current = dialog.property(kOtherRateProperty).toInt();
        const int listed = baudList.currentIndex() >= 0 ? kBaudRates[baudList.currentIndex()] : 9600;
        bool ok = false;
        const int rate = QInputDialog::getInt(
            &dialog, QStringLiteral("Other rate"),
            QStringLiteral("Rate in bits per second (%1 to %2):").arg(kMinLineRate).arg(kMaxLineRate),
            current != 0 ? current : listed, kMinLineRate, kMaxLineRate, 1, &ok);
        if (!ok)
            return;
        const int nearest = NearestBaudIndex(rate);
        {
            const QSignalBlocker blocker(baudList);
            baudList.setCurrentIndex(nearest);
        }
        show(rate == kBaudRates[nearest] ? 0 : rate);
    });
}

void CSetup::BuildDeviceList(QComboBox& deviceList) const
{
    const std::vector<SerialDevice> devices = m_listDevices ? m_listDevices() : std::vector<SerialDevice>();
    // The first entry changes nothing: the port keeps the device it leads to.
    deviceList.addItem(devices.empty() ? QStringLiteral("(no serial device found)")
                                       : QStringLiteral("(keep the port's device)"),
                       QString());
    for (const SerialDevice& device : devices) {
        // What the adapter calls itself and its serial number tell two alike adapters apart.
        QStringList words;
        for (const std::string* word : {&device.product, &device.serial}) {
            if (!word->empty())
                words << QString::fromStdString(*word);
        }
        if (words.isEmpty() && !device.driver.empty())
            words << QString::fromStdString(device.driver);
        words << QStringLiteral("(%1)").arg(QString::fromStdString(device.node));
        const std::string& stable = device.byId.empty() ? device.node : device.byId;
        deviceList.addItem(words.join(QLatin1Char(' ')), QString::fromStdString(stable));
    }
    deviceList.setCurrentIndex(0);
    // A port served over the network, or a device the listing does not show,
    // is typed in; the list itself stays as it is.
    deviceList.setEditable(true);
    deviceList.setInsertPolicy(QComboBox::NoInsert);
}

int CSetup::DoModal(QWidget* parent)
{
    QDialog dialog(parent);
    const DialogTemplate& layout = SetupDialogTemplate();
    BuildOn(dialog, QFont(QString::fromUtf8(layout.fontFamily), layout.pointSize));
    auto* portList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_PORT_LIST));
    auto* baudList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_BAUD_LIST));
    auto* deviceList = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_DEVICE_LIST));
    m_chosenDevice.clear();
    if (dialog.exec() != QDialog::Accepted)
        return kDoModalCancel;
    m_chosenDevice = ChosenPlace(*deviceList);
    m_portIndex = portList->currentIndex();
    m_baudIndex = baudList->currentIndex();
    m_otherRate = dialog.property(kOtherRateProperty).toInt();
    return kDoModalOk;
}
