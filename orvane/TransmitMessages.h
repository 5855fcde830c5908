#pragma once

// Refusals of the transmit side. Each is one modal box owned by the view, with
// an OK button only; the statement concerned then produces no packet.

inline constexpr const char* kCaptionTransmit = "Orvane transmit";
inline constexpr const char* kCaptionTx = "Orvane tx";
inline constexpr const char* kCaptionOrvane = "Orvane";

// Shows format with word put in for its "%s" (if it has one).
void ShowTransmitMessage(void* owner, const char* format, const char* word, const char* caption);
