#include "serial/SignalSequence.h"

#include "xrate/TextChars.h"

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// One item; false when it is none of the forms.
bool ReadStep(std::string_view item, SignalStep& step)
{
    const std::size_t blank = item.find_first_of(" \t");
    const std::string_view first = item.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? std::string_view() : Trimmed(item.substr(blank));
    if (EqualsIgnoringCase(first, "dtr") || EqualsIgnoringCase(first, "rts")) {
        step.signal = EqualsIgnoringCase(first, "dtr") ? LineSignal::kDtr : LineSignal::kRts;
        step.pauseMs = -1;
        if (EqualsIgnoringCase(rest, "on"))
            step.on = true;
        else if (EqualsIgnoringCase(rest, "off"))
            step.on = false;
        else
            return false;
        return true;
    }
    std::string_view digits = item;
    if (!rest.empty()) {
        if (!EqualsIgnoringCase(rest, "ms"))
            return false;
        digits = first;
    } else if (digits.size() > 2 && EqualsIgnoringCase(digits.substr(digits.size() - 2), "ms")) {
        digits.remove_suffix(2);
    }
    return ReadDecimal(digits, 0, kMaxSignalPauseMs, step.pauseMs);
}

} // namespace

int ReadSignalSequence(std::string_view text, std::vector<SignalStep>& steps, std::string& error)
{
    std::vector<SignalStep> read;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trimmed(text.substr(0, comma));
        SignalStep step;
        if (item.empty() || !ReadStep(item, step)) {
            error = item.empty() ? "an empty item in the sequence"
                                 : "'" + std::string(item) + "' is not dtr on|off, rts on|off or a pause from 0 to " +
                                       std::to_string(kMaxSignalPauseMs) + " ms";
            return -1;
        }
        read.push_back(step);
        if (read.size() > static_cast<std::size_t>(kMaxSignalSteps)) {
            error = "more than " + std::to_string(kMaxSignalSteps) + " items in the sequence";
            return -1;
        }
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    steps = std::move(read);
    return 0;
}

std::string SignalSequenceText(const std::vector<SignalStep>& steps)
{
    std::string text;
    for (const SignalStep& step : steps) {
        if (!text.empty())
            text += ", ";
        if (step.pauseMs >= 0)
            text += std::to_string(step.pauseMs);
        else
            text += std::string(step.signal == LineSignal::kDtr ? "dtr " : "rts ") + (step.on ? "on" : "off");
    }
    return text;
}
