#pragma once

#include "sim/OrvaneSim.h"
#include "sim/SimOptions.h"

#include <string>

class CMainFrame;
class CSetup;
class PortMap;

// The demo: a simulated Orvane bus inside the program on the port the run
// opens, and a report that starts with commands to try. Otherwise the
// program runs as always.
//
// Start the bus before the frame is created; MapPort, called from the
// frame's port choice, points the chosen port at the bus's device; Introduce
// writes the opening lines once start-up is done. With a window the bus also
// sends a little unasked traffic and the first suggested command goes out at
// once, so decoded traffic shows without typing. A headless run gets neither:
// its report holds only what its input asked for.
class DemoSession {
public:
    explicit DemoSession(bool window);

    // 0, or -1 with a one-line message in error.
    int Start(std::string& error);

    void MapPort(CSetup& setup, PortMap& ports);
    void Introduce(CMainFrame& frame);

private:
    std::string NodeList() const;

    bool m_window;
    sim::SimOptions m_options;
    sim::OrvaneSim m_sim;
    int m_port = 1;
};
