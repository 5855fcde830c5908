#pragma once

#include <optional>

// Toggle state of the four lock keys shown in the status bar.
struct LockKeys {
    bool kana = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The keyboard's indicator state, read from the X server; nothing on a
// platform that has no such state to offer (offscreen, Wayland).
std::optional<LockKeys> ReadLockKeys();
