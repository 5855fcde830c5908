#include "app/cli/StderrMessageBox.h"

#include "app/cli/FdOutput.h"
#include "xrate/TextChars.h"

namespace {

// Control characters are written as escapes, so a line break or carriage
// return inside a box (an echoed command, a device's reply) cannot split the
// box over two lines or overwrite it on a terminal.
void AppendOneLine(std::string& line, const std::string& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7F) {
            line += "\\x";
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 0x0F];
        } else
            line += c;
    }
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
