#pragma once

#include "resources/Language.h"
#include "resources/StringTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;

// The application object: names the settings store, creates and shows the
// main frame and handles the About command. A QApplication must exist.
class CTamselApp {
public:
    explicit CTamselApp(Language language);
    CTamselApp(Language language, const StringTable& strings);
    ~CTamselApp();

    // Start-up up to the shown frame. False when the frame could not be
    // created; the user has then been told why, and the program should end
    // with a failure status.
    bool InitInstance();

    bool OnCommand(int id);

    // Port assignments "COMn=path" from the command line, for the frame's port map.
    void SetPortOverrides(std::vector<std::string> overrides) { m_portOverrides = std::move(overrides); }

    // Runs on the new frame just before its creation, to hand it what the
    // command line chose.
    void SetBeforeCreate(std::function<void(CMainFrame& frame)> prepare) { m_beforeCreate = std::move(prepare); }

    CMainFrame* MainFrame() const { return m_frame.get(); }

private:
    Language m_language;
    const StringTable& m_strings;
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::string> m_portOverrides;
    std::function<void(CMainFrame& frame)> m_beforeCreate;
};
