#pragma once

#include <span>

// The frame's accelerator table (resource 128), one for both localisations.
// Keys are virtual-key codes; the flags say which modifiers must be held.
inline constexpr unsigned char FVIRTKEY = 0x01;
inline constexpr unsigned char FNOINVERT = 0x02;
inline constexpr unsigned char FSHIFT = 0x04;
inline constexpr unsigned char FCONTROL = 0x08;
inline constexpr unsigned char FALT = 0x10;

inline constexpr unsigned short VK_BACK = 0x08;
inline constexpr unsigned short VK_INSERT = 0x2D;
inline constexpr unsigned short VK_DELETE = 0x2E;
inline constexpr unsigned short VK_F6 = 0x75;

struct AcceleratorEntry {
    unsigned char flags;
    unsigned short key;
    int command;
};

std::span<const AcceleratorEntry> MainAcceleratorTable();
