#pragma once

// Pauses for a device without flow control: after each character written,
// and after each line (a line's last character waits both). None by default.
struct SendPacing {
    int charDelayMs = 0;
    int lineDelayMs = 0;
};

// The longest pause either delay may ask for.
inline constexpr int kMaxPacingMs = 10000;
