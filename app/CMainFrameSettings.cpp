#include "app/CMainFrame.h"

#include "app/ProfileValues.h"
#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"
#include "view/ReportZoom.h"

#include <cstdio>

namespace {

constexpr const char* kSection = "tamsel_OV";
constexpr const char* kPortsSection = "ports";

} // namespace

void CMainFrame::LoadSettings()
{
    const QByteArray port =
        m_store.GetProfileString(kSection, "comport", QString::fromLatin1(kDefaultPortName)).toLatin1();
    const int rate = m_store.GetProfileInt(kSection, "comspeed", 9600);
    m_setup.SetPortFromName(StoredPortName(port.constData(), static_cast<std::size_t>(port.size())));
    m_setup.SetNearestBaud(rate);
    if (const int other = StoredOtherRate(m_store.GetProfileInt(kLineSection, kOtherRateKey, 0), m_setup.BaudIndex()))
        m_setup.SetLineRate(other);
    if (m_portChoice)
        m_portChoice(m_setup, m_view->Ports());
    ShowPortSettings();
    if (m_opensPort)
        m_view->ComReopen(m_setup.GetDeviceName(), m_setup.GetLineRate());

    const bool receive = m_store.GetProfileInt(kSection, "receiveenable", 1) != 0;
    CheckMenuItem(ID_RECEIVE_ENABLE, receive);
    m_view->SetReceiveEnable(receive);
    const bool echo = m_store.GetProfileInt(kSection, "localecho", 1) != 0;
    CheckMenuItem(ID_LOCAL_ECHO, echo);
    m_view->SetLocalEcho(echo);

    ShowTimeStamps(m_store.GetProfileInt(kReportSection, kTimeStampsKey, 0) != 0);
    m_view->SetReportLimit(m_store.GetProfileInt(kReportSection, kReportLimitKey, CReportText::kReportLimit));
    m_view->SetReportFontPixels(StoredFontPixels(m_store.GetProfileInt(kZoomSection, kReportFontKey, kReportFontPixels)));
    LoadQuickSend();
    LoadPacing();
    // An unknown choice (a newer or hand-edited profile) keeps the usual CR LF.
    const int lineEnd = m_store.GetProfileInt(kSendSection, kLineEndKey, 0);
    ShowLineEnd(lineEnd >= 0 && lineEnd < kLineEndCount ? lineEnd : 0);

    const int receiveXrate = StoredConversionIndex(m_store.GetProfileInt(kSection, "receiveXrate", 3));
    const int sendXrate = StoredConversionIndex(m_store.GetProfileInt(kSection, "sendXrate", 3));
    PostCommand(ConversionAt(receiveXrate).rxCommand);
    PostCommand(ConversionAt(sendXrate).txCommand);
}

void CMainFrame::LoadPortMap()
{
    PortMap& ports = m_view->Ports();
    char key[8];
    for (int port = 1; port <= kMappedPorts; ++port) {
        std::snprintf(key, sizeof key, "COM%d", port);
        const QString path = m_store.GetProfileString(kPortsSection, key, QString());
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
    m_store.WriteProfileString(kPortsSection, key, QString::fromStdString(path));
    PortMap& ports = m_view->Ports();
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
    m_store.WriteProfileInt(kSection, "receiveenable", IsMenuChecked(ID_RECEIVE_ENABLE) ? 1 : 0);
    m_store.WriteProfileInt(kSection, "localecho", IsMenuChecked(ID_LOCAL_ECHO) ? 1 : 0);
    m_store.WriteProfileInt(kSection, "receiveXrate", MarkedConversion(true));
    m_store.WriteProfileInt(kSection, "sendXrate", MarkedConversion(false));
    m_store.WriteProfileInt(kSection, "comspeed", m_setup.GetBaudRate());
    m_store.WriteProfileString(kSection, "comport", QString::fromLatin1(m_setup.GetDeviceName()));
    m_store.WriteProfileInt(kLineSection, kOtherRateKey, m_setup.OtherRate());
}
