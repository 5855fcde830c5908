#pragma once

#include <cstddef>
#include <deque>
#include <string>

// The commands sent, newest first, and a walk through them from the command
// line. A command equal to the newest is not kept twice; beyond kCapacity the
// oldest goes.
//
// State: the entries and a walk position. The position is "editing" until
// Older is called; the text being edited is kept then, so that Leave can
// bring it back. Add ends any walk.
//
// The file holds one command a line, oldest first; a backslash, carriage
// return and line feed inside a command are written as \\, \r and \n, so a
// pasted multi-line command stays one entry.
class CommandHistory {
public:
    static constexpr std::size_t kCapacity = 1000;

    void Add(const std::string& command);
    std::size_t Size() const { return m_entries.size(); }
    // Entry 0 is the newest.
    const std::string& At(std::size_t index) const { return m_entries[index]; }

    // One step towards older entries. editing is the command line's text,
    // kept when the walk starts. False (text unchanged) at the oldest entry.
    bool Older(const std::string& editing, std::string& text);
    // One step towards newer entries; past the newest, the text that was
    // being edited. False when no walk is going on.
    bool Newer(std::string& text);
    // Ends the walk. True, with the text that was being edited, when a walk was going on.
    bool Leave(std::string& text);
    bool Walking() const { return m_position >= 0; }

    // 0 on success (a missing file is an empty history); otherwise -1 and
    // error names the file and the system's reason.
    int Load(const std::string& path, std::string& error);
    // Writes the whole history to a new file that then replaces path, so a
    // failed write never leaves half a history; the folder is made when missing.
    int Save(const std::string& path, std::string& error) const;

private:
    std::deque<std::string> m_entries;
    long m_position = -1;
    std::string m_editing;
};

// $XDG_STATE_HOME/tamsel/history, or ~/.local/state/tamsel/history when
// XDG_STATE_HOME is unset or not absolute; empty when neither can be known.
std::string DefaultHistoryPath();
