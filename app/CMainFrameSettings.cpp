#include "app/CMainFrame.h"

#include "profile/CommandSwitches.h"
#include "profile/ProfileValues.h"
#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "report/ReportZoom.h"

#include <cstdio>

void CMainFrame::LoadSettings()
{
    const QByteArray port = m_store.ReadText(ProfileKey::kComPort).toLatin1();
    const int rate = m_store.ReadNumber(ProfileKey::kComSpeed);
    m_setup.SetPortFromName(StoredPortName(port.constData(), static_cast<std::size_t>(port.size())));
    m_setup.SetNearestBaud(rate);
    if (const int other = StoredOtherRate(m_store.ReadNumber(ProfileKey::kOtherRate), m_setup.BaudIndex()))
        m_setup.SetLineRate(other);
    if (m_portChoice)
        m_portChoice(m_setup, m_view->Session().Ports());
    ShowPortSettings();
    if (m_opensPort)
        m_view->Session().ComReopen(m_setup.GetDeviceName(), m_setup.GetLineRate());

    for (const CommandSwitch& entry : CommandSwitches())
        ShowSwitch(entry.command, m_store.ReadNumber(entry.profile) != 0, false);
    m_view->Session().SetReportLimit(m_store.ReadNumber(ProfileKey::kReportLimit));
    m_view->SetReportFontPixels(m_store.ReadNumber(ProfileKey::kReportFont));
    LoadQuickSend();
    LoadPacing();
    ShowLineEnd(m_store.ReadNumber(ProfileKey::kLineEnd));

    const int receiveXrate = m_store.ReadNumber(ProfileKey::kReceiveXrate);
    const int sendXrate = m_store.ReadNumber(ProfileKey::kSendXrate);
    PostCommand(ConversionAt(receiveXrate).rxCommand);
    PostCommand(ConversionAt(sendXrate).txCommand);
}

void CMainFrame::LoadPortMap()
{
    PortMap& ports = m_view->Session().Ports();
    char key[8];
    for (int port = 1; port <= kMappedPorts; ++port) {
        std::snprintf(key, sizeof key, "COM%d", port);
        const QString path = m_store.ReadText(ProfileKey::kPorts, key);
        if (!path.isEmpty())
            ports.SetUserPath(key, path.toStdString());
    }
    for (const std::string& assignment : m_portOverrides)
        ports.SetOverride(assignment);
}

bool CMainFrame::MapChosenDevice()
{
    const std::string& path = m_setup.ChosenDevice();
    const int port = m_setup.PortIndex() + 1;
    if (path.empty() || port < 1 || port > kMappedPorts)
        return false;
    char key[8];
    std::snprintf(key, sizeof key, "COM%d", port);
    m_store.WriteText(ProfileKey::kPorts, QString::fromStdString(path), key);
    PortMap& ports = m_view->Session().Ports();
    ports.SetUserPath(key, path);
    ports.SetOverride(std::string(key) + "=" + path);
    return true;
}

int CMainFrame::MarkedConversion(bool receive) const
{
    int marked = 0;
    for (int i = 0; i < kConversionCount; ++i) {
        if (IsMenuChecked(receive ? ConversionAt(i).rxCommand : ConversionAt(i).txCommand))
            marked = i;
    }
    return marked;
}

void CMainFrame::SaveSettings()
{
    for (const CommandSwitch& entry : CommandSwitches()) {
        if (!entry.savedOnChange)
            m_store.WriteNumber(entry.profile, IsMenuChecked(entry.command) ? 1 : 0);
    }
    m_store.WriteNumber(ProfileKey::kReceiveXrate, MarkedConversion(true));
    m_store.WriteNumber(ProfileKey::kSendXrate, MarkedConversion(false));
    m_store.WriteNumber(ProfileKey::kComSpeed, m_setup.GetBaudRate());
    m_store.WriteText(ProfileKey::kComPort, QString::fromLatin1(m_setup.GetDeviceName()));
    m_store.WriteNumber(ProfileKey::kOtherRate, m_setup.OtherRate());
}
