#pragma once

#include "xrate/MessageBox.h"

#include <string>

// Message boxes of a headless run: each one becomes one line on standard
// error and is answered OK at once.

// The line for a box: caption, ": ", text, and the detail in parentheses when
// there is one. Control characters inside are escaped (\r, \n, \t, \xNN), so
// one box is always one line.
std::string MessageBoxLine(const MessageBoxCall& call);

// Installs the handler that writes MessageBoxLine to fd.
void InstallStderrMessageBox(int fd);
