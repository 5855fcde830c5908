// Fuzzes tamsel's command-line parser: the input is split at zero bytes into
// arguments. Whatever it accepts must be in range and read back the same from
// its own canonical spelling; whatever it refuses must say why.
#include "serial/LineRate.h"
#include "app/cli/CommandLineOptions.h"
#include "conversions/ConversionRegistry.h"
#include "profile/CommandSwitches.h"
#include "serial/PortMap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxArguments = 64;

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "options fuzz: %s\n", what);
        std::abort();
    }
}


std::vector<std::string> Canonical(const CommandLineOptions& o)
{
    std::vector<std::string> words;
    if (o.help)
        words.push_back("--help");
    if (o.version)
        words.push_back("--version");
    if (o.headless)
        words.push_back("--headless");
    if (o.demo)
        words.push_back("--demo");
    if (o.listPorts)
        words.push_back("--list-ports");
    if (o.json)
        words.push_back("--json");
    if (o.port)
        words.push_back("--port=COM" + std::to_string(o.port));
    if (o.baud)
        words.push_back("--baud=" + std::to_string(o.baud));
    if (o.rxConversion >= 0)
        words.push_back(std::string("--rx=") + ConversionAt(o.rxConversion).optionName);
    if (o.txConversion >= 0)
        words.push_back(std::string("--tx=") + ConversionAt(o.txConversion).optionName);
    for (const auto& [command, on] : o.switches)
        words.push_back("--" + std::string(SwitchOfCommand(command)->name) + (on ? "=on" : "=off"));
    for (const std::string& assignment : o.portMap)
        words.push_back("--map=" + assignment);
    if (!o.profile.empty())
        words.push_back("--profile=" + o.profile);
    words.push_back("--linger=" + std::to_string(o.lingerMs));
    return words;
}

int Parse(const std::vector<std::string>& words, CommandLineOptions& options, std::string& error)
{
    std::vector<const char*> argv{"tamsel"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size && words.size() <= kMaxArguments; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }

    CommandLineOptions options;
    std::string error;
    if (Parse(words, options, error) != 0) {
        Check(!error.empty(), "a refusal without a message");
        return 0;
    }
    Check(error.empty(), "a message for accepted arguments");
    Check(options.port >= 0 && options.port <= kMappedPorts, "port out of range");
    Check(options.baud == 0 || IsLineRate(options.baud), "a rate the line cannot be asked for");
    Check(options.portPath.empty() || (options.port == 1 && !options.portMap.empty() &&
                                       options.portMap.back() == "COM1=" + options.portPath),
          "a device path that COM1 does not lead to");
    Check(options.rxConversion >= -1 && options.rxConversion < 5, "receive conversion out of range");
    Check(options.txConversion >= -1 && options.txConversion < 5, "transmit conversion out of range");
    Check(options.lingerMs >= 0 && options.lingerMs <= 3600000, "linger out of range");
    for (const std::string& assignment : options.portMap) {
        PortMap map;
        Check(map.SetOverride(assignment), "a port assignment the map refuses");
    }

    // --linger is spelt out always; without --headless only --help or --version allow it.
    if (!options.headless && !options.help && !options.version)
        options.headless = true;
    CommandLineOptions again;
    Check(Parse(Canonical(options), again, error) == 0, "its own spelling refused");
    Check(Canonical(again) == Canonical(options), "its own spelling read otherwise");
    return 0;
}
