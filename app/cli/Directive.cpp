#include "app/cli/Directive.h"

#include "app/cli/OptionValues.h"
#include "profile/CommandSwitches.h"
#include "conversions/ConversionRegistry.h"
#include "serial/LineRate.h"
#include "xrate/TextChars.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

int Fail(std::string& error, std::string message)
{
    error = std::move(message);
    return -1;
}

// Value readers: false when the word is not a value of the kind.
bool Conversion(std::string_view word, int& value)
{
    value = ConversionIndex(word);
    return value >= 0;
}

bool Switch(std::string_view word, int& value)
{
    bool on = false;
    if (!ReadSwitch(word, on))
        return false;
    value = on ? 1 : 0;
    return true;
}

bool Port(std::string_view word, int& value)
{
    value = ReadPortName(word);
    return value != 0;
}

bool Rate(std::string_view word, int& value)
{
    value = ReadLineRate(word);
    return value != 0;
}

bool Time(std::string_view word, int& value)
{
    return ReadMilliseconds(word, value);
}

bool BreakTime(std::string_view word, int& value)
{
    return ReadDecimal(word, 1, kMaxBreakMs, value);
}

struct Form {
    std::string_view name;
    DirectiveKind kind;
    bool (*read)(std::string_view word, int& value);  // nullptr: takes no value
    const char* expected;                              // what the value must be
};

const std::string kConversions = std::string("a conversion (") + ConversionList() + ")";
const std::string kRates =
    "a rate from " + std::to_string(kMinLineRate) + " to " + std::to_string(kMaxLineRate) + " bps";
const std::string kTimes = "a time from 0 to " + std::to_string(kMaxWaitMs) + " ms";
const std::string kBreakTimes = "a time from 1 to " + std::to_string(kMaxBreakMs) + " ms";

const Form kForms[] = {
    {"rx", DirectiveKind::kRx, Conversion, kConversions.c_str()},
    {"tx", DirectiveKind::kTx, Conversion, kConversions.c_str()},
    {"port", DirectiveKind::kPort, Port, "a port from COM1 to COM20"},
    {"baud", DirectiveKind::kBaud, Rate, kRates.c_str()},
    {"sleep", DirectiveKind::kSleep, Time, kTimes.c_str()},
    {"wait", DirectiveKind::kWait, Time, kTimes.c_str()},
    {"dtr", DirectiveKind::kDtr, Switch, "on or off"},
    {"rts", DirectiveKind::kRts, Switch, "on or off"},
    {"break", DirectiveKind::kBreak, BreakTime, kBreakTimes.c_str()},
    {"clear", DirectiveKind::kClear, nullptr, nullptr},
    {"save", DirectiveKind::kSave, nullptr, nullptr},
    {"quit", DirectiveKind::kQuit, nullptr, nullptr},
};

} // namespace

int ReadDirective(std::string_view line, Directive& directive, std::string& error)
{
    directive = Directive{};
    if (!line.starts_with(kDirectivePrefix)) {
        directive.text = line;
        return 0;
    }
    const std::string_view body = line.substr(kDirectivePrefix.size());
    // ::send keeps its text exactly: only the one blank after the name goes.
    if (body == "send" || body.starts_with("send ") || body.starts_with("send\t")) {
        directive.text = body.substr(body.size() > 4 ? 5 : 4);
        return 0;
    }
    // A file name is the rest of the line, blanks and all.
    for (const auto& [name, kind] : {std::pair{std::string_view("log"), DirectiveKind::kLog},
                                     std::pair{std::string_view("capture"), DirectiveKind::kCapture}}) {
        if (body != name && !body.starts_with(std::string(name) + " "))
            continue;
        directive.kind = kind;
        directive.text = body.substr(std::min(body.size(), name.size() + 1));
        if (directive.text.empty())
            return Fail(error, "::" + std::string(name) + " takes a file name, or off");
        directive.value = directive.text == "off" ? 0 : 1;
        return 0;
    }
    if (body == "sendfile" || body.starts_with("sendfile ")) {
        directive.kind = DirectiveKind::kSendFile;
        directive.text = body.substr(std::min(body.size(), std::size_t{9}));
        if (directive.text.empty())
            return Fail(error, "::sendfile takes a file name");
        return 0;
    }
    // The name follows "::" at once, as it does for ::send.
    const std::vector<std::string_view> words = Words(body);
    const std::string_view name = body.empty() || IsBlank(body[0]) ? std::string_view() : words[0];
    // A menu's switch reads as the directives of its kind do.
    const CommandSwitch* menuSwitch = SwitchNamed(name);
    const Form switchForm{name, DirectiveKind::kSwitch, Switch, "on or off"};
    for (const Form& form : menuSwitch ? std::span<const Form>(&switchForm, 1) : std::span<const Form>(kForms)) {
        if (form.name != name)
            continue;
        directive.kind = form.kind;
        directive.command = menuSwitch ? menuSwitch->command : 0;
        const std::string where = "::" + std::string(name);
        const std::size_t given = words.size() - 1;
        if (form.read == nullptr) {
            if (given == 0)
                return 0;
            return Fail(error, where + " takes nothing after it");
        }
        if (form.kind == DirectiveKind::kWait && given == 0) {
            directive.value = -1;
            return 0;
        }
        if (form.kind == DirectiveKind::kBreak && given == 0) {
            directive.value = kDefaultBreakMs;
            return 0;
        }
        if (given != 1)
            return Fail(error, where + " takes one value, " + form.expected);
        if (!form.read(words[1], directive.value))
            return Fail(error, where + ": '" + std::string(words[1]) + "' is not " + form.expected);
        return 0;
    }
    return Fail(error, "unknown directive '" + std::string(line) +
                           "'; to send a line that begins with \"::\", write ::send before it");
}
