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
inline constexpr unsigned short VK_F1 = 0x70;  // F1 to F12 follow one another
inline constexpr unsigned short VK_F2 = 0x71;
inline constexpr unsigned short VK_F3 = 0x72;
inline constexpr unsigned short VK_F4 = 0x73;
inline constexpr unsigned short VK_F5 = 0x74;
inline constexpr unsigned short VK_F6 = 0x75;
inline constexpr unsigned short VK_F7 = 0x76;
inline constexpr unsigned short VK_F8 = 0x77;
inline constexpr unsigned short VK_F9 = 0x78;
inline constexpr unsigned short VK_F10 = 0x79;
inline constexpr unsigned short VK_F11 = 0x7A;
inline constexpr unsigned short VK_F12 = 0x7B;
// The key that gives "=" and "+" on most layouts, and the one that gives "-".
inline constexpr unsigned short VK_OEM_PLUS = 0xBB;
inline constexpr unsigned short VK_OEM_MINUS = 0xBD;

struct AcceleratorEntry {
    unsigned char flags;
    unsigned short key;
    int command;
};

std::span<const AcceleratorEntry> MainAcceleratorTable();
