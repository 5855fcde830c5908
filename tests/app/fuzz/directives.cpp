// Fuzzes a headless run's input handling: the bytes are cut into lines, in
// pieces whose sizes the input chooses, and every line is read as a command
// or a directive. Lines must come out whole and bounded, and every directive
// read must carry a value its kind allows.
#include "app/cli/Directive.h"
#include "profile/CommandSwitches.h"
#include "app/cli/InputLines.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "directives fuzz: %s\n", what);
        std::abort();
    }
}

void CheckDirective(const std::string& line)
{
    Directive directive;
    std::string error;
    if (ReadDirective(line, directive, error) != 0) {
        Check(line.starts_with("::"), "a command refused");
        Check(!error.empty(), "a refusal without a message");
        return;
    }
    switch (directive.kind) {
    case DirectiveKind::kSend:
        Check(line.starts_with("::send") || directive.text == line, "a command changed");
        Check(line.ends_with(directive.text), "sent text that is not the line's end");
        break;
    case DirectiveKind::kRx:
    case DirectiveKind::kTx:
        Check(directive.value >= 0 && directive.value < 5, "conversion out of range");
        break;
    case DirectiveKind::kSwitch:
        Check(directive.value == 0 || directive.value == 1, "switch neither on nor off");
        Check(SwitchOfCommand(directive.command) != nullptr, "a switch that is no menu's check item");
        break;
    case DirectiveKind::kPort:
        Check(directive.value >= 1 && directive.value <= 20, "port out of range");
        break;
    case DirectiveKind::kBaud:
        Check(directive.value >= 50 && directive.value <= 4000000, "rate out of range");
        break;
    case DirectiveKind::kSleep:
        Check(directive.value >= 0 && directive.value <= 3600000, "pause out of range");
        break;
    case DirectiveKind::kWait:
        Check(directive.value >= -1 && directive.value <= 3600000, "wait out of range");
        break;
    case DirectiveKind::kLog:
    case DirectiveKind::kCapture:
        Check(!directive.text.empty() && line.ends_with(directive.text), "a file name that is not the line's end");
        Check(directive.value == (directive.text == "off" ? 0 : 1), "off and a file mixed up");
        break;
    case DirectiveKind::kSendFile:
        Check(line.starts_with("::sendfile "), "a file send from another directive");
        Check(!directive.text.empty() && line.ends_with(directive.text), "a file name that is not the line's end");
        break;
    case DirectiveKind::kDtr:
    case DirectiveKind::kRts:
        Check(directive.value == 0 || directive.value == 1, "switch neither on nor off");
        break;
    case DirectiveKind::kBreak:
        Check(directive.value >= 1 && directive.value <= 10000, "break out of range");
        break;
    case DirectiveKind::kClear:
    case DirectiveKind::kSave:
    case DirectiveKind::kQuit:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte sets the size of the pieces the rest arrives in.
    const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t count = size - 1;

    InputLines lines;
    std::size_t taken = 0;
    std::string line;
    for (std::size_t at = 0; at < count; at += piece) {
        lines.Add(bytes + at, std::min(piece, count - at));
        while (lines.Next(line)) {
            ++taken;
            Check(line.find('\n') == std::string::npos, "a line feed inside a line");
            Check(line.size() <= InputLines::kMaxLine, "a line over the limit");
            CheckDirective(line);
        }
    }
    lines.End();
    while (lines.Next(line)) {
        ++taken;
        CheckDirective(line);
    }
    Check(static_cast<int>(taken) == lines.LineNumber(), "lines miscounted");
    if (!lines.TooLong()) {
        const std::size_t feeds = static_cast<std::size_t>(std::count(bytes, bytes + count, '\n'));
        const bool openLast = count > 0 && bytes[count - 1] != '\n';
        Check(taken == feeds + (openLast ? 1 : 0), "a line lost or made up");
    }
    return 0;
}
