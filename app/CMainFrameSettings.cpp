#include "app/CMainFrame.h"

#include "app/Conversions.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <cstdio>

namespace {

constexpr const char* kSection = "tamsel_OV";
constexpr const char* kPortsSection = "ports";

// The names the system writes are at most nine characters; the buffer a
// stored name is read into holds 19. A longer one is no name the system could
// have written, so the default stands in for it rather than a cut-off piece.
constexpr int kPortNameBuffer = 20;
constexpr const char* kDefaultPort = "COM1";

int ConversionIndex(int stored)
{
    return stored < 0 || stored >= kConversionCount ? 0 : stored;
}

} // namespace

void CMainFrame::LoadSettings()
{
    QByteArray port = m_store.GetProfileString(kSection, "comport", QString::fromLatin1(kDefaultPort)).toLatin1();
    if (port.size() >= kPortNameBuffer)
        port = kDefaultPort;
    const int rate = m_store.GetProfileInt(kSection, "comspeed", 9600);
    m_setup.SetPortFromName(port.constData());
    m_setup.SetNearestBaud(rate);
    if (m_portChoice)
        m_portChoice(m_setup, m_view->Ports());
    ShowPortSettings();
    m_view->ComReopen(m_setup.GetDeviceName(), m_setup.GetBaudRate());

    const bool receive = m_store.GetProfileInt(kSection, "receiveenable", 1) != 0;
    CheckMenuItem(ID_RECEIVE_ENABLE, receive);
    m_view->SetReceiveEnable(receive);
    const bool echo = m_store.GetProfileInt(kSection, "localecho", 1) != 0;
    CheckMenuItem(ID_LOCAL_ECHO, echo);
    m_view->SetLocalEcho(echo);

    PostCommand(kConversions[ConversionIndex(m_store.GetProfileInt(kSection, "receiveXrate", 3))].rxCommand);
    PostCommand(kConversions[ConversionIndex(m_store.GetProfileInt(kSection, "sendXrate", 3))].txCommand);
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

int CMainFrame::MarkedConversion(bool receive) const
{
    int marked = 0;
    for (int i = 0; i < kConversionCount; ++i) {
        if (IsMenuChecked(receive ? kConversions[i].rxCommand : kConversions[i].txCommand))
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
}
