#include "orvane/TransmitMessages.h"

#include "xrate/MessageBox.h"

#include <cstdio>

void BoxRefusals::Refuse(const char* text, const char* caption)
{
    ShowMessageBox(m_owner, text, caption, kMbOk);
}

void ShowTransmitMessage(RefusalSink& refusals, const char* format, const char* word,
                         const char* caption)
{
    // Words are at most 199 characters, so every message fits whole.
    char text[512];
    std::snprintf(text, sizeof text, format, word);
    refusals.Refuse(text, caption);
}
