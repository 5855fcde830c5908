#include "orvane/TransmitMessages.h"

#include "xrate/MessageBox.h"

#include <cstdio>

void ShowTransmitMessage(void* owner, const char* format, const char* word, const char* caption)
{
    // Words are at most 199 characters, so every message fits whole.
    char text[512];
    std::snprintf(text, sizeof text, format, word);
    ShowMessageBox(owner, text, caption, kMbOk);
}
