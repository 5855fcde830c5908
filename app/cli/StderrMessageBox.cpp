#include "app/cli/StderrMessageBox.h"

#include "app/cli/FdOutput.h"

namespace {

void AppendOneLine(std::string& line, const std::string& text)
{
    for (const char c : text)
        line += c == '\r' || c == '\n' ? ' ' : c;
}

} // namespace

std::string MessageBoxLine(const MessageBoxCall& call)
{
    std::string line;
    AppendOneLine(line, call.caption);
    line += ": ";
    AppendOneLine(line, call.text);
    if (!call.detail.empty()) {
        line += " (";
        AppendOneLine(line, call.detail);
        line += ')';
    }
    line += '\n';
    return line;
}

void InstallStderrMessageBox(int fd)
{
    SetMessageBoxHandler([fd](const MessageBoxCall& call) {
        const std::string line = MessageBoxLine(call);
        // Nobody is left to tell when standard error is gone.
        (void)WriteAll(fd, line.data(), line.size());
        return kIdOk;
    });
}
