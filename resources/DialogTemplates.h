#pragma once

#include <span>

// Dialog templates as data: controls in template order, which is also the tab
// order, with positions and sizes in dialog units of the template's font. The
// dialogs exist in English only.
enum class ControlKind { DefPushButton, PushButton, Label, DropDownList, Icon };

struct DialogControl {
    ControlKind kind;
    int id;              // IDC_STATIC for labels nobody refers to
    const char* text;
    int x, y, w, h;      // for a drop-down list, h is the height of the opened list
};

struct DialogTemplate {
    int id;
    const char* title;
    int w, h;
    const char* fontFamily;
    int pointSize;
    std::span<const DialogControl> controls;
};

const DialogTemplate& SetupDialogTemplate();
const DialogTemplate& AboutDialogTemplate();
