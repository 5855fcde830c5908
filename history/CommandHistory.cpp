#include "history/CommandHistory.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Escaped(const std::string& command)
{
    std::string line;
    for (const char c : command) {
        if (c == '\\')
            line += "\\\\";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

// An unknown escape keeps its backslash, so a hand-edited file loses nothing.
std::string Unescaped(const std::string& line)
{
    std::string command;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            command += line[i];
            continue;
        }
        const char next = line[i + 1];
        if (next == '\\' || next == 'r' || next == 'n') {
            command += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            command += '\\';
        }
    }
    return command;
}

std::string Reason(const std::string& path)
{
    return path + ": " + std::strerror(errno);
}

// Makes each missing folder of path's parent, private to the user as the
// state folder should be.
int MakeParentFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return -1;
    }
    return 0;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

void CommandHistory::Add(const std::string& command)
{
    m_position = -1;
    m_editing.clear();
    if (!m_entries.empty() && m_entries.front() == command)
        return;
    m_entries.push_front(command);
    if (m_entries.size() > kCapacity)
        m_entries.pop_back();
}

bool CommandHistory::Older(const std::string& editing, std::string& text)
{
    if (m_position + 1 >= static_cast<long>(m_entries.size()))
        return false;
    if (m_position < 0)
        m_editing = editing;
    ++m_position;
    text = m_entries[static_cast<std::size_t>(m_position)];
    return true;
}

bool CommandHistory::Newer(std::string& text)
{
    if (m_position < 0)
        return false;
    --m_position;
    text = m_position < 0 ? m_editing : m_entries[static_cast<std::size_t>(m_position)];
    return true;
}

bool CommandHistory::Leave(std::string& text)
{
    if (m_position < 0)
        return false;
    m_position = -1;
    text = m_editing;
    return true;
}

int CommandHistory::Load(const std::string& path, std::string& error)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "re"));
    if (!file) {
        if (errno == ENOENT)
            return 0;
        error = Reason(path);
        return -1;
    }
    std::deque<std::string> entries;
    std::string line;
    int c;
    while ((c = std::fgetc(file.get())) != EOF) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        entries.push_front(Unescaped(line));
        line.clear();
    }
    if (std::ferror(file.get())) {
        error = Reason(path);
        return -1;
    }
    if (!line.empty())
        entries.push_front(Unescaped(line));
    if (entries.size() > kCapacity)
        entries.resize(kCapacity);
    m_entries = std::move(entries);
    m_position = -1;
    return 0;
}

int CommandHistory::Save(const std::string& path, std::string& error) const
{
    if (MakeParentFolders(path) != 0) {
        error = Reason(path);
        return -1;
    }
    const std::string temporary = path + ".new";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = Reason(temporary);
        return -1;
    }
    std::string text;
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry)
        text += Escaped(*entry) + '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0) {
            error = Reason(temporary);
            close(fd);
            unlink(temporary.c_str());
            return -1;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        error = Reason(path);
        unlink(temporary.c_str());
        return -1;
    }
    return 0;
}

std::string DefaultHistoryPath()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tamsel/history";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/tamsel/history";
    return {};
}
