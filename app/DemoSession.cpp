#include "app/DemoSession.h"

#include "app/CMainFrame.h"
#include "app/CSetup.h"
#include "resources/CommandIds.h"
#include "serial/PortMap.h"
#include "view/CChildView.h"
#include "view/ViewEvents.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <cstdio>

namespace {

// Often enough to show a live bus, seldom enough to leave the answers to
// the user's own commands readable.
constexpr int kWindowTrafficMs = 3000;

constexpr const char* kFirstCommand = "get16 all 0";

constexpr const char* kSuggestions[] = {
    "  get16 all 0                 every node reports its 16-bit register 0\r\n",
    "  set16 5 3 1234;get16 5 3    store a register of node 5, then read it back\r\n",
    "  get32 12 1                  a 32-bit register of node 12\r\n",
    "  read16 1 0x20               a word of node 1's memory\r\n",
    "  bulkget 12 0 4              four words of node 12's memory in one reply\r\n",
    "  reqprof 5                   the profile text of node 5\r\n",
    "  setid 12 33                 node 12 takes the ID 33\r\n",
    "  shownode                    the nodes seen so far (shownode reg16 5: registers)\r\n",
};

} // namespace

DemoSession::DemoSession(bool window) : m_window(window)
{
    if (m_window)
        m_options.trafficMs = kWindowTrafficMs;
}

int DemoSession::Start(std::string& error)
{
    return m_sim.Start(m_options, error);
}

void DemoSession::MapPort(CSetup& setup, PortMap& ports)
{
    // A profile may name a port beyond the map (COM25); the demo then takes COM1.
    m_port = setup.PortIndex() + 1;
    if (m_port < 1 || m_port > kMappedPorts) {
        setup.SetPortFromName("COM1");
        m_port = 1;
    }
    ports.SetOverride("COM" + std::to_string(m_port) + "=" + m_sim.DevicePath());
}

std::string DemoSession::NodeList() const
{
    std::string list;
    const std::size_t count = m_options.nodes.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            list += i + 1 == count ? " and " : ", ";
        list += std::to_string(m_options.nodes[i]);
    }
    return list;
}

void DemoSession::Introduce(CMainFrame& frame)
{
    CChildView& view = *frame.View();
    char line[160];
    std::snprintf(line, sizeof line,
                  "Tamsel demo: a simulated Orvane bus with nodes %s answers on COM%d.\r\n",
                  NodeList().c_str(), m_port);
    view.Session().AppendReport(line);
    view.Session().AppendReport("Commands to try, with Orvane 1.0 or 1.1 chosen for both conversions:\r\n");
    for (const char* suggestion : kSuggestions)
        view.Session().AppendReport(suggestion);
    if (!m_window)
        return;
    view.Session().AppendReport("The first one has been sent for you; the nodes also report now and then.\r\n");
    // As if typed and sent with Enter, after the conversions start-up posted.
    view.CommandLine()->setPlainText(QString::fromLatin1(kFirstCommand));
    QCoreApplication::postEvent(&view, new CommandEvent(ID_SEND_COMMAND));
}
