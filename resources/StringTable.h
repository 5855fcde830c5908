#pragma once

#include "resources/Language.h"

#include <cstddef>
#include <span>

// A string table maps resource IDs to UTF-8 texts. A text may hold a second
// line after "\n" (a short form that menus do not show); callers that want the
// first line only cut it there.
struct StringEntry {
    int id;
    const char* text;
};

class StringTable {
public:
    constexpr explicit StringTable(std::span<const StringEntry> entries) : m_entries(entries) {}

    // The text with this ID, or nullptr when the table has none.
    const char* Find(int id) const;

    // The application's own tables, one per localisation.
    static const StringTable& Builtin(Language language);

private:
    std::span<const StringEntry> m_entries;
};
