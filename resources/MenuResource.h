#pragma once

#include "resources/Language.h"

#include <span>

// The frame's menu tree (resource 128) in both localisations. A caption may
// carry a shortcut label after a tab; the label is text only, the keys come
// from the accelerator table. "&" marks the mnemonic.
struct MenuItemResource {
    int id;                // 0 stands for a separator
    const char* english;
    const char* japanese;
};

struct MenuPopupResource {
    const char* english;
    const char* japanese;
    std::span<const MenuItemResource> items;
};

std::span<const MenuPopupResource> MainMenuResource();

const char* MenuCaption(const MenuItemResource& item, Language language);
const char* MenuCaption(const MenuPopupResource& popup, Language language);
