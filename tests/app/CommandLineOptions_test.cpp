// The command line: every option with good and bad values, unknown options,
// and --help/--version, read without Qt.
#include "app/cli/CommandLineOptions.h"
#include "profile/CommandSwitches.h"
#include "conversions/ConversionRegistry.h"
#include "serial/BaudRates.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The options that differ from a bare command line, in a fixed order.
std::string Describe(const CommandLineOptions& o)
{
    std::string text;
    const auto add = [&text](const std::string& item) { text += (text.empty() ? "" : " ") + item; };
    if (o.help)
        add("help");
    if (o.version)
        add("version");
    if (o.headless)
        add("headless");
    if (o.demo)
        add("demo");
    if (o.busView)
        add("bus-view");
    if (o.listPorts)
        add("list-ports");
    if (o.json)
        add("json");
    if (o.port)
        add("port=" + std::to_string(o.port));
    if (o.baud)
        add("baud=" + std::to_string(o.baud));
    if (o.rxConversion >= 0)
        add("rx=" + std::to_string(o.rxConversion));
    if (o.txConversion >= 0)
        add("tx=" + std::to_string(o.txConversion));
    for (const CommandSwitch& entry : CommandSwitches()) {
        const auto found = o.switches.find(entry.command);
        if (found != o.switches.end())
            add(std::string(entry.name) + (found->second ? "=on" : "=off"));
    }
    if (o.dtr)
        add(std::string("dtr=") + (*o.dtr ? "on" : "off"));
    if (o.rts)
        add(std::string("rts=") + (*o.rts ? "on" : "off"));
    for (const std::string& assignment : o.portMap)
        add("map=" + assignment);
    if (!o.profile.empty())
        add("profile=" + o.profile);
    if (o.lingerMs != 500)
        add("linger=" + std::to_string(o.lingerMs));
    if (o.reportLimit)
        add("report-limit=" + std::to_string(o.reportLimit));
    return text;
}

struct Parsed {
    int result;
    std::string options;
    std::string error;
};

void PrintArguments(const std::vector<const char*>& arguments, std::ostream* out)
{
    *out << "tamsel";
    for (const char* argument : arguments)
        *out << " \"" << argument << '"';
}

Parsed Parse(const std::vector<const char*>& arguments)
{
    std::vector<const char*> argv{"tamsel"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    CommandLineOptions options;
    std::string error;
    const int result = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
    return {result, Describe(options), error};
}

struct Accepted {
    std::vector<const char*> arguments;
    const char* options;
};

const Accepted kAccepted[] = {
    {{}, ""},
    {{"--headless"}, "headless"},
    {{"--demo", "--headless"}, "headless demo"},
    {{"--demo", "--bus-view"}, "demo bus-view"},
    {{"--port", "COM3"}, "port=3"},
    {{"--port=com20"}, "port=20"},
    {{"--port", "COM1", "--port", "COM2"}, "port=2"},
    {{"--baud", "115200"}, "baud=115200"},
    {{"--baud=300"}, "baud=300"},
    // Any rate the line may be asked for, not only the dialog's list.
    {{"--baud", "4800"}, "baud=4800"},
    {{"--baud", "250000"}, "baud=250000"},
    {{"--baud", "50"}, "baud=50"},
    {{"--baud", "4000000"}, "baud=4000000"},
    // A device path is COM1's for the run, after every --map.
    {{"--port", "/dev/ttyACM0"}, "port=1 map=COM1=/dev/ttyACM0"},
    {{"--port", "rfc2217://lab-rack-2:7001"}, "port=1 map=COM1=rfc2217://lab-rack-2:7001"},
    {{"--port", "TCP://10.0.0.5:2000", "--map", "COM2=tcp://[::1]:2001"}, "port=1 map=COM2=tcp://[::1]:2001 map=COM1=TCP://10.0.0.5:2000"},
    {{"--port=/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0", "--map", "COM1=/dev/ttyS0"},
     "port=1 map=COM1=/dev/ttyS0 map=COM1=/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0"},
    {{"--port", "/dev/ttyACM0", "--port", "COM3"}, "port=3"},
    {{"--rx", "raw"}, "rx=0"},
    {{"--rx", "HEX"}, "rx=1"},
    {{"--tx", "bin"}, "tx=2"},
    {{"--tx=ov10"}, "tx=3"},
    {{"--rx", "ov11", "--tx", "ov11"}, "rx=4 tx=4"},
    {{"--echo", "off"}, "echo=off"},
    {{"--echo=on", "--receive", "OFF"}, "echo=on receive=off"},
    {{"--dtr", "off", "--rts=ON"}, "dtr=off rts=on"},
    {{"--rts", "on", "--rts", "off"}, "rts=off"},
    {{"--map", "COM1=/dev/pts/3", "--map", "com20=/tmp/a=b"}, "map=COM1=/dev/pts/3 map=com20=/tmp/a=b"},
    {{"--profile", "/tmp/run.conf"}, "profile=/tmp/run.conf"},
    {{"--profile=with space.conf"}, "profile=with space.conf"},
    {{"--headless", "--linger", "0"}, "headless linger=0"},
    {{"--report-limit", "20000"}, "report-limit=20000"},
    {{"--report-limit=67108864", "--headless"}, "headless report-limit=67108864"},
    {{"--linger=3600000", "--headless"}, "headless linger=3600000"},
    {{"--list-ports"}, "list-ports"},
    {{"--json", "--list-ports"}, "list-ports json"},
    {{"--help"}, "help"},
    {{"--version"}, "version"},
    {{"--linger", "5", "--help"}, "help linger=5"},
};

void PrintTo(const Accepted& c, std::ostream* out)
{
    PrintArguments(c.arguments, out);
}

class CommandLineAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(CommandLineAccepts, EveryOptionWithAGoodValue)
{
    const Parsed parsed = Parse(GetParam().arguments);
    EXPECT_EQ(parsed.result, 0) << parsed.error;
    EXPECT_EQ(parsed.options, GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineAccepts, testing::ValuesIn(kAccepted));

struct Rejected {
    std::vector<const char*> arguments;
    const char* error;
};

#define RATES "from 50 to 4000000 bps"
#define PORTS "from COM1 to COM20 or a device path such as /dev/ttyACM0"
#define CONVERSIONS "(raw, hex, bin, ov10 or ov11)"
#define ASSIGNMENT " is not a port assignment such as COM1=/dev/ttyUSB0 (COM1 to COM20)"

const Rejected kRejected[] = {
    {{"--bogus"}, "unknown option '--bogus'"},
    {{"-h"}, "unknown option '-h'"},
    {{"--"}, "unknown option '--'"},
    {{"extra"}, "unexpected argument 'extra'"},
    {{"COM1=/dev/ttyUSB0"},
     "unexpected argument 'COM1=/dev/ttyUSB0'; a port is mapped with --map COM1=/dev/ttyUSB0"},
    {{"--headless=yes"}, "option '--headless' takes no value"},
    {{"--help=me"}, "option '--help' takes no value"},
    {{"--port"}, "option '--port' needs a value"},
    {{"--headless", "--baud"}, "option '--baud' needs a value"},
    {{"--port", "COM0"}, "--port: 'COM0' is not a port " PORTS},
    {{"--port", "COM21"}, "--port: 'COM21' is not a port " PORTS},
    {{"--port", "COM01"}, "--port: 'COM01' is not a port " PORTS},
    {{"--port", "3"}, "--port: '3' is not a port " PORTS},
    {{"--port", "COM3x"}, "--port: 'COM3x' is not a port " PORTS},
    {{"--port="}, "--port: '' is not a port " PORTS},
    {{"--port", "dev/ttyACM0"}, "--port: 'dev/ttyACM0' is not a port " PORTS},
    {{"--baud", "49"}, "--baud: '49' is not a rate " RATES},
    {{"--baud", "4000001"}, "--baud: '4000001' is not a rate " RATES},
    {{"--baud", "0"}, "--baud: '0' is not a rate " RATES},
    {{"--baud", "9600x"}, "--baud: '9600x' is not a rate " RATES},
    {{"--baud", "-9600"}, "--baud: '-9600' is not a rate " RATES},
    {{"--baud", "09600"}, "--baud: '09600' is not a rate " RATES},
    {{"--baud", "99999999999999999999"}, "--baud: '99999999999999999999' is not a rate " RATES},
    {{"--rx", "ov12"}, "--rx: 'ov12' is not a conversion " CONVERSIONS},
    {{"--tx", ""}, "--tx: '' is not a conversion " CONVERSIONS},
    {{"--echo", "yes"}, "--echo takes on or off, not 'yes'"},
    {{"--receive", "1"}, "--receive takes on or off, not '1'"},
    {{"--dtr", "high"}, "--dtr takes on or off, not 'high'"},
    {{"--rts"}, "option '--rts' needs a value"},
    {{"--map", "COM1"}, "--map: 'COM1'" ASSIGNMENT},
    {{"--map", "COM1="}, "--map: 'COM1='" ASSIGNMENT},
    {{"--map", "COM21=/dev/x"}, "--map: 'COM21=/dev/x'" ASSIGNMENT},
    {{"--map", "=/dev/x"}, "--map: '=/dev/x'" ASSIGNMENT},
    {{"--profile", ""}, "--profile needs a file name"},
    {{"--linger", "100"}, "--linger applies to --headless runs only"},
    {{"--bus-view", "--headless"}, "--bus-view opens a window; --headless runs have none"},
    {{"--json"}, "--json applies to --list-ports"},
    {{"--headless", "--linger", "-1"}, "--linger: '-1' is not a time from 0 to 3600000 ms"},
    {{"--report-limit", "19999"}, "--report-limit: '19999' is not a number of characters from 20000 to 67108864"},
    {{"--report-limit", "67108865"}, "--report-limit: '67108865' is not a number of characters from 20000 to 67108864"},
    {{"--report-limit", "1e6"}, "--report-limit: '1e6' is not a number of characters from 20000 to 67108864"},
    {{"--headless", "--linger", "3600001"}, "--linger: '3600001' is not a time from 0 to 3600000 ms"},
    {{"--headless", "--linger", "1.5"}, "--linger: '1.5' is not a time from 0 to 3600000 ms"},
    // The first wrong argument is the one reported.
    {{"--port", "COM2", "--rx", "nope", "--bogus"}, "--rx: 'nope' is not a conversion " CONVERSIONS},
};

void PrintTo(const Rejected& c, std::ostream* out)
{
    PrintArguments(c.arguments, out);
}

class CommandLineRejects : public testing::TestWithParam<Rejected> {};

TEST_P(CommandLineRejects, WrongArgumentsWithAOneLineMessage)
{
    const Parsed parsed = Parse(GetParam().arguments);
    EXPECT_EQ(parsed.result, -1);
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineRejects, testing::ValuesIn(kRejected));

TEST(CommandLineHelp, NamesEveryOptionAndDirectiveAndTheExitStatuses)
{
    const std::string usage = TamselUsage();
    for (const char* name : {"--port COMn", "--baud N", "--rx CONV", "--tx CONV", "--echo on|off",
                             "--receive on|off", "--map COMn=PATH", "--profile FILE", "--demo", "--bus-view",
                             "--headless", "--linger MS", "--help", "--version", "::rx CONV",
                             "::tx CONV", "::echo on|off", "::receive on|off", "::port COMn",
                             "::baud N", "::clear", "::save", "::sleep MS", "::wait [MS]",
                             "::send TEXT", "::quit", "--dtr on|off", "--rts on|off", "::dtr on|off",
                             "::rts on|off", "::break [MS]", "Exit status: 0"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    EXPECT_EQ(std::string(TamselVersion()), "1.1.2");
}

// The help lists the choices of the tables the options are read against, so a
// conversion or rate added to a table without a word in the help shows here.
TEST(CommandLineHelp, ListsEveryConversionAndRate)
{
    const std::string usage = TamselUsage();
    const std::size_t rx = usage.find("--rx CONV");
    const std::size_t tx = usage.find("--tx CONV");
    ASSERT_NE(rx, std::string::npos);
    ASSERT_NE(tx, std::string::npos);
    const std::string rxHelp = usage.substr(rx, tx - rx);
    for (int i = 0; i < kConversionCount; ++i) {
        // A whole word: "ov1" must not pass for being part of "ov10".
        const std::string name = std::string(" ") + ConversionAt(i).optionName;
        bool found = false;
        for (std::size_t at = rxHelp.find(name); at != std::string::npos && !found;
             at = rxHelp.find(name, at + 1)) {
            const std::size_t end = at + name.size();
            found = end == rxHelp.size() || !std::isalnum(static_cast<unsigned char>(rxHelp[end]));
        }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_NE(usage.find("--baud N           the rate: " + RateList() + ",\n"), std::string::npos);
}

} // namespace
