#pragma once

#include <span>

// The function keys that the accelerator table leaves free (F6 and Shift+F6
// move between panes), each of which can send a command line of its own.
// The order is that of the key commands from ID_QUICK_SEND_FIRST on and of
// the quick-send dialog's rows.
struct QuickSendKey {
    unsigned short virtualKey;
    const char* name;  // as the dialog shows it and the profile keys it
    int command;
};

std::span<const QuickSendKey> QuickSendKeys();
