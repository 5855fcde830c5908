#include "app/cli/CommandLineOptions.h"

#include "app/cli/OptionValues.h"
#include "conversions/ConversionRegistry.h"
#include "profile/CommandSwitches.h"
#include "serial/LineRate.h"
#include "serial/LineKinds.h"
#include "serial/PortMap.h"
#include "report/CReportText.h"
#include "xrate/TextChars.h"

#include <cstdlib>
#include <string_view>

namespace {

using Parse = int (*)(std::string_view value, CommandLineOptions& options, std::string& error);

int Fail(std::string& error, std::string message)
{
    error = std::move(message);
    return -1;
}

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

int ParsePort(std::string_view value, CommandLineOptions& options, std::string& error)
{
    // A device path or a network line stands in for COM1 in this run; the
    // panes keep the COM name.
    if (value.starts_with("/") || IsNetworkPlace(value)) {
        options.port = 1;
        options.portPath = value;
        return 0;
    }
    options.port = ReadPortName(value);
    options.portPath.clear();
    if (options.port == 0)
        return Fail(error, "--port: " + Quoted(value) +
                               " is not a port from COM1 to COM20 or a device path such as /dev/ttyACM0");
    return 0;
}

int ParseBaud(std::string_view value, CommandLineOptions& options, std::string& error)
{
    options.baud = ReadLineRate(value);
    if (options.baud == 0)
        return Fail(error, "--baud: " + Quoted(value) + " is not a rate from " + std::to_string(kMinLineRate) +
                               " to " + std::to_string(kMaxLineRate) + " bps");
    return 0;
}

int ParseConversion(std::string_view option, std::string_view value, int& index, std::string& error)
{
    index = ConversionIndex(value);
    if (index < 0)
        return Fail(error, std::string(option) + ": " + Quoted(value) + " is not a conversion (" +
                               ConversionList() + ")");
    return 0;
}

int ParseRx(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseConversion("--rx", value, options.rxConversion, error);
}

int ParseTx(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseConversion("--tx", value, options.txConversion, error);
}

int ParseSwitch(std::string_view option, std::string_view value, std::optional<bool>& on,
                std::string& error)
{
    bool chosen = false;
    if (!ReadSwitch(value, chosen))
        return Fail(error, std::string(option) + " takes on or off, not " + Quoted(value));
    on = chosen;
    return 0;
}

int ParseDtr(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseSwitch("--dtr", value, options.dtr, error);
}

int ParseRts(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseSwitch("--rts", value, options.rts, error);
}

int ParseMap(std::string_view value, CommandLineOptions& options, std::string& error)
{
    PortMap check;
    if (!check.SetOverride(value))
        return Fail(error, "--map: " + Quoted(value) +
                               " is not a port assignment such as COM1=/dev/ttyUSB0 (COM1 to COM20)");
    options.portMap.emplace_back(value);
    return 0;
}

int ParseProfile(std::string_view value, CommandLineOptions& options, std::string& error)
{
    if (value.empty())
        return Fail(error, "--profile needs a file name");
    options.profile = value;
    return 0;
}

int ParseLinger(std::string_view value, CommandLineOptions& options, std::string& error)
{
    if (!ReadMilliseconds(value, options.lingerMs))
        return Fail(error, "--linger: " + Quoted(value) + " is not a time from 0 to " +
                               std::to_string(kMaxWaitMs) + " ms");
    return 0;
}

int ParseFileOption(std::string_view option, std::string_view value, std::string& path, std::string& error)
{
    if (value.empty())
        return Fail(error, std::string(option) + " needs a file name");
    path = value;
    return 0;
}

int ParseLog(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseFileOption("--log", value, options.logPath, error);
}

int ParseCapture(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseFileOption("--capture", value, options.capturePath, error);
}

int ParseReplay(std::string_view value, CommandLineOptions& options, std::string& error)
{
    return ParseFileOption("--replay", value, options.replayPath, error);
}

int ParseReplaySpeed(std::string_view value, CommandLineOptions& options, std::string& error)
{
    if (value == "max") {
        options.replaySpeed = 0;
        return 0;
    }
    const std::string text(value);
    char* end = nullptr;
    const double speed = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(speed >= 0.01 && speed <= 1000))
        return Fail(error, "--replay-speed: " + Quoted(value) + " is not a factor from 0.01 to 1000, or max");
    options.replaySpeed = speed;
    return 0;
}

int ParseReportLimit(std::string_view value, CommandLineOptions& options, std::string& error)
{
    if (!ReadDecimal(value, CReportText::kReportLimit, CReportText::kLargestReportLimit, options.reportLimit))
        return Fail(error, "--report-limit: " + Quoted(value) + " is not a number of characters from " +
                               std::to_string(CReportText::kReportLimit) + " to " +
                               std::to_string(CReportText::kLargestReportLimit));
    return 0;
}

struct ValueOption {
    std::string_view name;
    Parse parse;
};

constexpr ValueOption kValueOptions[] = {
    {"--port", ParsePort},       {"--baud", ParseBaud},         {"--rx", ParseRx},
    {"--tx", ParseTx},
    {"--map", ParseMap},         {"--profile", ParseProfile},   {"--linger", ParseLinger},
    {"--log", ParseLog},         {"--capture", ParseCapture},   {"--replay", ParseReplay},
    {"--replay-speed", ParseReplaySpeed}, {"--report-limit", ParseReportLimit},
    {"--dtr", ParseDtr},         {"--rts", ParseRts},
};

struct FlagOption {
    std::string_view name;
    bool CommandLineOptions::*flag;
};

constexpr FlagOption kFlagOptions[] = {
    {"--help", &CommandLineOptions::help},
    {"--version", &CommandLineOptions::version},
    {"--headless", &CommandLineOptions::headless},
    {"--demo", &CommandLineOptions::demo},
    {"--bus-view", &CommandLineOptions::busView},
    {"--list-ports", &CommandLineOptions::listPorts},
    {"--json", &CommandLineOptions::json},
    {"--log-new", &CommandLineOptions::logNew},
    {"--log-stamps", &CommandLineOptions::logStamps},
};

int Unexpected(std::string_view argument, std::string& error)
{
    if (argument.starts_with("-"))
        return Fail(error, "unknown option " + Quoted(argument));
    PortMap check;
    if (check.SetOverride(argument))
        return Fail(error, "unexpected argument " + Quoted(argument) + "; a port is mapped with --map " +
                               std::string(argument));
    return Fail(error, "unexpected argument " + Quoted(argument));
}

} // namespace

int ParseCommandLine(int argc, const char* const* argv, CommandLineOptions& options,
                     std::string& error)
{
    bool lingerGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        if (argument.starts_with("--")) {
            bool known = false;
            for (const FlagOption& option : kFlagOptions) {
                if (option.name != name)
                    continue;
                if (equals != std::string_view::npos)
                    return Fail(error, "option " + Quoted(name) + " takes no value");
                options.*option.flag = true;
                known = true;
            }
            if (known)
                continue;
            // The value after "=" or in the next argument.
            const auto takeValue = [&](std::string_view& value) {
                if (equals != std::string_view::npos)
                    value = argument.substr(equals + 1);
                else if (i + 1 < argc && argv[i + 1])
                    value = argv[++i];
                else
                    return Fail(error, "option " + Quoted(name) + " needs a value");
                return 0;
            };
            if (const CommandSwitch* menuSwitch = SwitchNamed(name.substr(2))) {
                std::string_view value;
                std::optional<bool> on;
                if (takeValue(value) != 0 || ParseSwitch(name, value, on, error) != 0)
                    return -1;
                options.switches[menuSwitch->command] = *on;
                continue;
            }
            for (const ValueOption& option : kValueOptions) {
                if (option.name != name)
                    continue;
                std::string_view value;
                if (takeValue(value) != 0 || option.parse(value, options, error) != 0)
                    return -1;
                lingerGiven = lingerGiven || name == "--linger";
                known = true;
                break;
            }
            if (known)
                continue;
        }
        return Unexpected(argument, error);
    }
    if (lingerGiven && !options.headless && !options.help && !options.version)
        return Fail(error, "--linger applies to --headless runs only");
    if (options.logNew && options.logPath.empty())
        return Fail(error, "--log-new starts the --log file anew; give --log FILE too");
    if (options.json && !options.listPorts)
        return Fail(error, "--json applies to --list-ports");
    if (options.busView && options.headless)
        return Fail(error, "--bus-view opens a window; --headless runs have none");
    // After every --map, so that the path given to --port is the one COM1 opens.
    if (!options.portPath.empty())
        options.portMap.push_back("COM1=" + options.portPath);
    return 0;
}

const char* TamselVersion()
{
    return TAMSEL_VERSION;
}

namespace {

// An entry's lines in the usage text: its label indented, its text from a
// column of its own, broken at spaces so that no line is wider than 79 columns.
std::string WrappedEntry(const std::string& label, std::size_t indent, std::size_t textColumn,
                         const std::string& text)
{
    constexpr std::size_t kWidth = 79;
    std::string lines = std::string(indent, ' ') + label;
    lines.resize(textColumn, ' ');
    std::size_t column = textColumn;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::size_t word = end - at;
        if (column > textColumn && column + 1 + word > kWidth) {
            lines += "\n" + std::string(textColumn, ' ');
            column = textColumn;
        } else if (column > textColumn) {
            lines += ' ';
            ++column;
        }
        lines.append(text, at, word);
        column += word;
        at = end + 1;
    }
    return lines + "\n";
}

std::string WrappedOption(const std::string& option, const std::string& text)
{
    return WrappedEntry(option, 2, 21, text);
}

std::string SwitchOptions()
{
    std::string lines;
    for (const CommandSwitch& entry : CommandSwitches()) {
        if (entry.name)
            lines += WrappedOption("--" + std::string(entry.name) + " on|off", entry.optionHelp);
    }
    return lines;
}

std::string SwitchDirectives()
{
    std::string lines;
    for (const CommandSwitch& entry : CommandSwitches()) {
        if (entry.name)
            lines += WrappedEntry("::" + std::string(entry.name) + " on|off", 4, 26, entry.directiveHelp);
    }
    return lines;
}

} // namespace

const char* TamselUsage()
{
    static const std::string usage = "Usage: tamsel [OPTION]...\n"
           "A serial line monitor: shows what arrives on one serial port through the chosen\n"
           "receive conversion and sends commands through the transmit conversion.\n"
           "\n"
           "These choices are made after the settings profile has been read, as if from\n"
           "the menus and the setup dialog; they are not saved unless the save command\n"
           "(or ::save) is given:\n"
           "  --port COMn        the port, COM1 to COM20\n"
           "  --port PATH        a device path (/dev/ttyACM0, /dev/serial/by-id/...) that\n"
           "                     COM1 opens in this run; the panes still name COM1\n"
           "  --port URL         a port served over the network, the same way:\n"
           "                     rfc2217://HOST:PORT (Telnet with RFC 2217: the rate and\n"
           "                     line signals go to the server) or tcp://HOST:PORT (raw)\n"
           "  --baud N           the rate: 300, 1200, 9600, 19200, 38400, 57600 or 115200,\n"
           "                     or any other from 50 to 4000000 that the driver takes\n" +
           WrappedOption("--rx CONV", "receive conversion: " + ConversionUsageList()) +
           "  --tx CONV          transmit conversion, the same names\n" +
           SwitchOptions() +
           "  --dtr on|off       raise or drop DTR each time the port opens (also after\n"
           "                     it is reopened); without it the line keeps its own\n"
           "  --rts on|off       the same for RTS\n"
           "  --map COMn=PATH    open port COMn at this device path or URL in this run (may be\n"
           "                     repeated); without it the settings section \"ports\" and\n"
           "                     then COM1-4 = /dev/ttyS0-3, COM5-12 = /dev/ttyUSB0-7,\n"
           "                     COM13-20 = /dev/ttyACM0-7 apply\n"
           "  --profile FILE     read and save the settings in FILE instead of the user's\n"
           "                     profile; a FILE that does not exist yet starts from the\n"
           "                     defaults and is made by the save command\n"
           "  --demo             start a simulated Orvane bus (nodes 1, 5 and 12) inside\n"
           "                     the program on the chosen port and suggest commands to\n"
           "                     try; in the window it also sends a little traffic\n"
           "  --bus-view         open the bus view beside the main window: the Orvane\n"
           "                     nodes heard, their registers live, plots and CSV export\n"
           "  --log FILE         keep a session log: every text the report receives,\n"
           "                     appended to FILE byte for byte, never trimmed\n"
           "  --log-new          start the --log file anew instead of appending to it\n"
           "  --log-stamps       begin each line of the log with its local arrival time\n"
           "  --capture FILE     keep a raw capture of the line in FILE (pcapng, as\n"
           "                     Wireshark and tshark read it): every byte both ways\n"
           "  --replay FILE      open no port: the received bytes of the capture FILE go\n"
           "                     through the receive conversion as if read from the line\n"
           "  --replay-speed X   replay at X times the recorded pace (default 1), or max\n"
           "  --report-limit N   the report keeps N characters (20000, the default, to\n"
           "                     67108864) before its oldest lines go\n"
           "  --headless         no window: commands from standard input, the report on\n"
           "                     standard output (see below)\n"
           "  --linger MS        headless: after the end of input, wait until nothing has\n"
           "                     arrived for MS milliseconds, then end; default 500\n"
           "  --list-ports       list the serial devices present and end: one line each,\n"
           "                     the node, its stable names (/dev/serial/by-id/...), USB\n"
           "                     vendor:product, manufacturer, product, serial number,\n"
           "                     driver and interface; no device is opened\n"
           "  --json             with --list-ports: the list as JSON, for scripts\n"
           "  --help             show this text and end\n"
           "  --version          show the version and end\n"
           "\n"
           "Headless runs (tamsel --headless):\n"
           "  Every line of standard input is put into the command line and sent, as Enter\n"
           "  sends it. Everything that reaches the report is written to standard output as\n"
           "  it is appended, byte for byte with its \"\\r\\n\" line ends. Every message box\n"
           "  is written to standard error as one line, caption then text, and answered OK.\n"
           "  A line that begins with \"::\" is a directive:\n"
           "    ::rx CONV, ::tx CONV  choose a conversion, as from its menu\n" +
           SwitchDirectives() +
           "    ::port COMn           choose the port and reopen it, as the setup dialog does\n"
           "    ::baud N              choose the rate and reopen the port\n"
           "    ::dtr on|off          raise or drop DTR, as the Line menu does\n"
           "    ::rts on|off          raise or drop RTS\n"
           "    ::break [MS]          hold the line in the break condition for MS\n"
           "                          milliseconds (default 250, at most 10000); the\n"
           "                          next line runs once it has ended\n"
           "    ::clear               clear the report\n"
           "    ::save                save the settings, as the save command does\n"
           "    ::sleep MS            pause MS milliseconds; received data is still shown\n"
           "    ::wait [MS]           pause until nothing has arrived for MS milliseconds\n"
           "                          (default: the --linger time)\n"
           "    ::send TEXT           send TEXT as it is, even when it begins with \"::\"\n"
           "    ::log FILE|off        start the session log in FILE (appending), or stop it\n"
           "    ::capture FILE|off    start a raw capture in FILE, or stop it\n"
           "    ::sendfile FILE       send FILE as File > Send file does, with the profile's\n"
           "                          pacing; the next line runs once it has gone out\n"
           "    ::quit                end at once\n"
           "  A \"\\r\" before a line's \"\\n\" is dropped. At the end of input Tamsel waits\n"
           "  as --linger says and ends.\n"
           "\n"
           "Exit status: 0 after the window closed, the end of input or ::quit; 1 when\n"
           "Tamsel cannot start, or in a headless run when the port cannot be opened (after\n"
           "its message) or standard output is gone; 2 for a wrong option, and in a\n"
           "headless run for a wrong directive or an input line over 65536 bytes (the run\n"
           "ends there).\n";
    return usage.c_str();
}
