#pragma once

#include "profile/ProfileTable.h"

#include <span>
#include <string_view>

// A check item of the menus that a setting of its own follows, described once:
// the command-line option and headless directive that set it ("--NAME on|off",
// "::NAME on|off"), their words in the usage text, and where the profile keeps
// it. The menus, the option parser and its usage text, the directives and the
// settings profile all read this table, so a new switch is one entry here (and
// its command's ID, captions and prompt in the resources).
struct CommandSwitch {
    int command;                // the check item
    const char* name;           // the option's and the directive's name; nullptr: the menu only
    const char* optionHelp;     // the usage text's words for the option
    const char* directiveHelp;  // ... and for the directive
    ProfileSetting profile;     // where it is kept (a number: 0 off, anything else on)
    bool savedOnChange;         // kept as soon as it changes; otherwise by the save command
};

std::span<const CommandSwitch> CommandSwitches();

// The switch of a check item, or nullptr.
const CommandSwitch* SwitchOfCommand(int command);
// The switch an option or directive names, or nullptr.
const CommandSwitch* SwitchNamed(std::string_view name);
