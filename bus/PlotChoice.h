#pragma once

#include "bus/BusModel.h"

#include <string>
#include <string_view>
#include <vector>

// The plotted registers as one profile value: "node:width:register" entries
// separated by blanks ("12:32:15 5:16:3"; a profile file would split a list at
// commas and may take ';' for a comment). Reading skips any entry that is not a
// node 0-63, a width 16 or 32 and a register 0-15, and repeats, so a hand-
// edited profile never plots something that does not exist.
std::string FormatPlotChoice(const std::vector<RegisterKey>& keys);
std::vector<RegisterKey> ParsePlotChoice(std::string_view text);
