#pragma once

#include "app/cli/CommandLineOptions.h"

class CMainFrame;
class CSetup;

// Choices from the command line and from headless directives, carried out
// the way the menus and the setup dialog carry them out, so the menu marks,
// the panes, the view and a later save all agree.

// Chooses a check-mark item (receive display, local echo) when its mark is
// not already as wanted: the menu toggles.
void SetMenuSwitch(CMainFrame& frame, int command, bool on);

// Port n of COMn and a rate (a table rate or an other rate) into the setup
// object; 0 leaves either as it is.
void ChoosePortAndRate(CSetup& setup, int port, int baud);

// After start-up: posts the chosen conversions, so they run after the ones
// the profile posted, and sets the two switches.
void ApplyMenuChoices(const CommandLineOptions& options, CMainFrame& frame);
