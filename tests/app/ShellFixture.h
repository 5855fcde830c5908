#pragma once

#include "app/CMainFrame.h"
#include "app/CStatusBar.h"
#include "app/CTamselApp.h"
#include "view/ViewEvents.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include "support/MessageBoxRecorder.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QSettings>
#include <QVariant>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using testsupport::MessageBoxRecorder;

// The settings store as the application files it.
inline QSettings Profile()
{
    return QSettings(QStringLiteral("Pellmark"), QStringLiteral("TamSel Serial port Monitor 1.1 (OV1.1)"));
}

// Empties the profile and stores the given values of section "tamsel_OV".
inline void StoreProfile(const std::vector<std::pair<const char*, QVariant>>& values)
{
    QSettings profile = Profile();
    profile.clear();
    for (const auto& [key, value] : values)
        profile.setValue(QStringLiteral("tamsel_OV/") + QString::fromLatin1(key), value);
    profile.sync();
}

inline QVariant StoredValue(const char* key)
{
    return Profile().value(QStringLiteral("tamsel_OV/") + QString::fromLatin1(key));
}

// The application started as main() starts it, with message boxes recorded.
// Port overrides keep the tests off the machine's real serial ports.
class Shell {
public:
    explicit Shell(Language language = Language::English, const std::vector<std::string>& ports = {})
        : app(language)
    {
        std::vector<std::string> overrides;
        for (int port = 1; port <= 20; ++port)
            overrides.push_back("COM" + std::to_string(port) + "=/dev/tamsel-test-no-device");
        overrides.insert(overrides.end(), ports.begin(), ports.end());
        app.SetPortOverrides(std::move(overrides));
        started = app.InitInstance();
    }

    CMainFrame& Frame() { return *app.MainFrame(); }
    CChildView& View() { return *app.MainFrame()->View(); }

    // Lets the event loop run the commands that start-up posted.
    void RunPostedCommands()
    {
        QCoreApplication::sendPostedEvents(app.MainFrame(), CommandEvent::Kind());
    }

    MessageBoxRecorder boxes;
    CTamselApp app;
    bool started = false;
};

// The application started with COM2 on a pseudo-terminal, the test as the
// far side, and the focus in the command line. Start (again) after storing
// the profile the test wants.
class FrameOnLine : public testing::Test {
protected:
    void Start()
    {
        shell.reset();
        shell = std::make_unique<Shell>(Language::English, std::vector<std::string>{"COM2=" + line.Path()});
        ASSERT_TRUE(shell->started);
        shell->RunPostedCommands();
        QApplication::setActiveWindow(&Frame());
        CommandLine()->setFocus();
    }

    CMainFrame& Frame() { return shell->Frame(); }
    CChildView& View() { return shell->View(); }
    QPlainTextEdit* CommandLine() { return View().CommandLine(); }

    testsupport::PseudoTerminal line;
    std::unique_ptr<Shell> shell;
};
