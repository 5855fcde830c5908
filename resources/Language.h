#pragma once

// The two localisations of menus, prompts and pane placeholders. Both carry the
// same IDs; the dialogs and the accelerator table exist once for both.
enum class Language { English, Japanese };
