#include "devices/PortFollower.h"

#include "devices/DeviceList.h"

bool PortFollower::Follow(const std::string& path)
{
    SerialDevice device;
    std::string identity;
    if (!path.empty() && FindSerialDevice(path, device))
        identity = device.byId;
    if (identity == m_identity)
        return false;
    m_identity = identity;
    m_watch = DeviceWatch();
    std::string unused;
    // Without events the periodic line checks still find the device by identity.
    if (!m_identity.empty())
        m_watch.Start(unused);
    return true;
}

LineState PortFollower::CheckLine()
{
    if (m_identity.empty())
        return m_port.CheckLine();
    if (m_port.GetLineState() != LineState::kLost)
        return m_port.GetLineState();
    // Never the node the port map names: another adapter may have it now.
    SerialDevice device;
    if (!FindSerialDevice(m_identity, device) || device.node.empty())
        return m_port.CheckLineAt(std::string());
    return ReopenAt(device.node);
}

LineState PortFollower::TakeEvents()
{
    for (const SerialDevice& added : m_watch.TakeAdded()) {
        if (!m_identity.empty() && added.byId == m_identity && m_port.GetLineState() == LineState::kLost)
            ReopenAt(added.node);
    }
    return m_port.GetLineState();
}

LineState PortFollower::ReopenAt(const std::string& node)
{
    const LineState state = m_port.CheckLineAt(node);
    if (m_port.HasHandle()) {
        if (const int number = PortMap::PortNumber(m_port.PortName()))
            m_map.SetOverride("COM" + std::to_string(number) + "=" + node);
        m_port.SetPortMap(m_map);
    }
    return state;
}
