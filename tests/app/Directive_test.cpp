// Lines of a headless run's input: commands to send, each directive with good
// and bad values, and how a line that begins with "::" is sent.
#include "app/cli/Directive.h"
#include "profile/CommandSwitches.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

std::string Describe(const Directive& d)
{
    static const char* const kNames[] = {"send",  "rx",   "tx",   "switch", "port", "baud",
                                         "clear", "save", "sleep", "wait",  "quit", "log",
                                         "capture", "sendfile", "dtr", "rts", "break"};
    // A switch is named as the menu's switches name it.
    const std::string name = d.kind == DirectiveKind::kSwitch ? SwitchOfCommand(d.command)->name
                                                               : kNames[static_cast<int>(d.kind)];
    if (d.kind == DirectiveKind::kSend || d.kind == DirectiveKind::kSendFile)
        return name + " [" + d.text + "]";
    switch (d.kind) {
    case DirectiveKind::kClear:
    case DirectiveKind::kSave:
    case DirectiveKind::kQuit:
        return name;
    default:
        return name + " " + std::to_string(d.value);
    }
}

struct LineCase {
    const char* line;
    const char* read;  // Describe of the directive, or the error
};

void PrintTo(const LineCase& c, std::ostream* out)
{
    *out << '"' << c.line << '"';
}

const LineCase kRead[] = {
    {"get16 5 3", "send [get16 5 3]"},
    {"", "send []"},
    {"  leading blanks stay ", "send [  leading blanks stay ]"},
    {":single colon", "send [:single colon]"},
    {"::send ::rx raw", "send [::rx raw]"},
    {"::send", "send []"},
    {"::send  two blanks", "send [ two blanks]"},
    {"::send\ttab", "send [tab]"},
    {"::rx raw", "rx 0"},
    {"::rx HEX", "rx 1"},
    {"::tx bin", "tx 2"},
    {"::tx ov10", "tx 3"},
    {"::rx\tov11  ", "rx 4"},
    {"::echo on", "echo 1"},
    {"::echo off", "echo 0"},
    {"::receive off", "receive 0"},
    {"::port COM2", "port 2"},
    {"::port com20", "port 20"},
    {"::baud 57600", "baud 57600"},
    {"::clear", "clear"},
    {"::save ", "save"},
    {"::sleep 0", "sleep 0"},
    {"::sleep 250", "sleep 250"},
    {"::wait", "wait -1"},
    {"::wait 300", "wait 300"},
    {"::quit", "quit"},
    {"::sendfile /tmp/a file.txt", "sendfile [/tmp/a file.txt]"},
    {"::sendfile  lead", "sendfile [ lead]"},
    {"::dtr on", "dtr 1"},
    {"::dtr OFF", "dtr 0"},
    {"::rts off", "rts 0"},
    {"::break", "break 250"},
    {"::break 1", "break 1"},
    {"::break 10000", "break 10000"},
};

class DirectivesRead : public testing::TestWithParam<LineCase> {};

TEST_P(DirectivesRead, AsTheirMenuCommandsAndDialogValues)
{
    Directive directive;
    std::string error;
    EXPECT_EQ(ReadDirective(GetParam().line, directive, error), 0) << error;
    EXPECT_EQ(Describe(directive), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Table, DirectivesRead, testing::ValuesIn(kRead));

#define SEND_HINT "; to send a line that begins with \"::\", write ::send before it"

const LineCase kRejected[] = {
    {"::", "unknown directive '::'" SEND_HINT},
    {":: rx raw", "unknown directive ':: rx raw'" SEND_HINT},
    {"::bogus", "unknown directive '::bogus'" SEND_HINT},
    {"::RX raw", "unknown directive '::RX raw'" SEND_HINT},
    {"::sendx", "unknown directive '::sendx'" SEND_HINT},
    {"::rx", "::rx takes one value, a conversion (raw, hex, bin, ov10 or ov11)"},
    {"::rx raw hex", "::rx takes one value, a conversion (raw, hex, bin, ov10 or ov11)"},
    {"::tx ov12", "::tx: 'ov12' is not a conversion (raw, hex, bin, ov10 or ov11)"},
    {"::echo maybe", "::echo: 'maybe' is not on or off"},
    {"::receive", "::receive takes one value, on or off"},
    {"::port COM21", "::port: 'COM21' is not a port from COM1 to COM20"},
    {"::port /dev/ttyS0", "::port: '/dev/ttyS0' is not a port from COM1 to COM20"},
    {"::baud 49", "::baud: '49' is not a rate from 50 to 4000000 bps"},
    {"::baud 4000001", "::baud: '4000001' is not a rate from 50 to 4000000 bps"},
    {"::sleep", "::sleep takes one value, a time from 0 to 3600000 ms"},
    {"::sleep -5", "::sleep: '-5' is not a time from 0 to 3600000 ms"},
    {"::sleep 3600001", "::sleep: '3600001' is not a time from 0 to 3600000 ms"},
    {"::wait 1 2", "::wait takes one value, a time from 0 to 3600000 ms"},
    {"::clear all", "::clear takes nothing after it"},
    {"::quit now", "::quit takes nothing after it"},
    {"::sendfile", "::sendfile takes a file name"},
    {"::sendfile ", "::sendfile takes a file name"},
    {"::sendfiles x", "unknown directive '::sendfiles x'" SEND_HINT},
    {"::dtr", "::dtr takes one value, on or off"},
    {"::rts 1", "::rts: '1' is not on or off"},
    {"::break 0", "::break: '0' is not a time from 1 to 10000 ms"},
    {"::break 10001", "::break: '10001' is not a time from 1 to 10000 ms"},
    {"::break 5 6", "::break takes one value, a time from 1 to 10000 ms"},
};

class DirectivesRejected : public testing::TestWithParam<LineCase> {};

TEST_P(DirectivesRejected, WithAOneLineMessage)
{
    Directive directive;
    std::string error;
    EXPECT_EQ(ReadDirective(GetParam().line, directive, error), -1);
    EXPECT_EQ(error, GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Table, DirectivesRejected, testing::ValuesIn(kRejected));

} // namespace
