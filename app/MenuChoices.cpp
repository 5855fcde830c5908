#include "app/MenuChoices.h"

#include "app/CMainFrame.h"
#include "app/CSetup.h"
#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"

#include <cstdio>

void SetMenuSwitch(CMainFrame& frame, int command, bool on)
{
    if (frame.IsMenuChecked(command) != on)
        frame.OnCommand(command);
}

void ChoosePortAndRate(CSetup& setup, int port, int baud)
{
    if (port > 0) {
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", port);
        setup.SetPortFromName(name);
    }
    if (baud > 0)
        setup.SetLineRate(baud);
}

void ApplyMenuChoices(const CommandLineOptions& options, CMainFrame& frame)
{
    if (options.rxConversion >= 0)
        frame.PostCommand(ConversionCommand(true, options.rxConversion));
    if (options.txConversion >= 0)
        frame.PostCommand(ConversionCommand(false, options.txConversion));
    for (const auto& [command, on] : options.switches)
        SetMenuSwitch(frame, command, on);
    if (options.reportLimit > 0)
        frame.View()->Session().SetReportLimit(options.reportLimit);
    if (options.busView)
        SetMenuSwitch(frame, ID_VIEW_BUS, true);
}
