#include "app/CMainFrame.h"
#include "app/CTamselApp.h"
#include "app/QtMessageBox.h"
#include "app/UserLanguage.h"
#include "serial/PortMap.h"
#include "view/CChildView.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tamsel, a serial line monitor."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("COMn=path"),
                                 QStringLiteral("Open port COMn (1 to 20) at this device path, "
                                                "for example COM1=/dev/ttyUSB0."),
                                 QStringLiteral("[COMn=path...]"));
    parser.process(application);
    std::vector<std::string> overrides;
    PortMap check;
    for (const QString& argument : parser.positionalArguments()) {
        const std::string assignment = argument.toStdString();
        if (!check.SetOverride(assignment)) {
            std::fprintf(stderr, "tamsel: \"%s\" is not a port assignment such as COM1=/dev/ttyUSB0\n",
                         assignment.c_str());
            return 2;
        }
        overrides.push_back(assignment);
    }

    CTamselApp tamsel(UserLanguage());
    tamsel.SetPortOverrides(std::move(overrides));
    // A box the view raises belongs to the frame; the others are ownerless.
    InstallQtMessageBox([&tamsel](void* owner) -> QWidget* {
        CMainFrame* frame = tamsel.MainFrame();
        return frame && owner == static_cast<void*>(static_cast<QWidget*>(frame->View())) ? frame : nullptr;
    });
    if (!tamsel.InitInstance())
        return 1;
    return QApplication::exec();
}
