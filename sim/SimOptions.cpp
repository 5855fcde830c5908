#include "sim/SimOptions.h"

#include "orvane/Framing.h"
#include "xrate/TextChars.h"

#include <string_view>

namespace sim {

namespace {

// Splits at commas; an empty item is kept so that it can be refused.
std::vector<std::string_view> Items(std::string_view list)
{
    std::vector<std::string_view> items;
    for (;;) {
        const std::size_t comma = list.find(',');
        items.push_back(list.substr(0, comma));
        if (comma == std::string_view::npos)
            return items;
        list.remove_prefix(comma + 1);
    }
}

int ParseNodes(std::string_view value, SimOptions& options, std::string& error)
{
    std::vector<int> nodes;
    for (std::string_view item : Items(value)) {
        int id = 0;
        if (!ReadDecimal(item, 0, kMonitorNodeId - 1, id)) {
            error = "--nodes: '" + std::string(item) + "' is not a node ID from 0 to 62" +
                    (item == "63" ? " (63 is the monitor's own)" : "");
            return -1;
        }
        for (int known : nodes) {
            if (known == id) {
                error = "--nodes: node " + std::to_string(id) + " is listed twice";
                return -1;
            }
        }
        nodes.push_back(id);
    }
    options.nodes = nodes;
    return 0;
}

int ParseVersion(std::string_view value, SimOptions& options, std::string& error)
{
    if (value == "1.0")
        options.version = VersionMode::V10;
    else if (value == "1.1")
        options.version = VersionMode::V11;
    else if (value == "auto")
        options.version = VersionMode::Auto;
    else {
        error = "--version must be 1.0, 1.1 or auto, not '" + std::string(value) + "'";
        return -1;
    }
    return 0;
}

int ParseTraffic(std::string_view value, SimOptions& options, std::string& error)
{
    if (!ReadDecimal(value, 0, kMaxTrafficMs, options.trafficMs)) {
        error = "--traffic: '" + std::string(value) + "' is not a period from 0 to " +
                std::to_string(kMaxTrafficMs) + " ms";
        return -1;
    }
    return 0;
}

int ParsePause(std::string_view value, SimOptions& options, std::string& error)
{
    if (!ReadDecimal(value, 0, kMaxPauseMs, options.pauseMs)) {
        error = "--pause: '" + std::string(value) + "' is not a pause from 0 to " +
                std::to_string(kMaxPauseMs) + " ms";
        return -1;
    }
    return 0;
}

int ParseFault(std::string_view value, SimOptions& options, std::string& error)
{
    struct Name {
        std::string_view name;
        FaultKind kind;
    };
    static constexpr Name kNames[] = {{"length", FaultKind::Length},
                                      {"checksum", FaultKind::Checksum},
                                      {"fill", FaultKind::Fill},
                                      {"split", FaultKind::Split}};
    for (std::string_view item : Items(value)) {
        const std::size_t colon = item.find(':');
        const std::string_view name = item.substr(0, colon);
        FaultSpec fault{FaultKind::Length, 1};
        bool known = false;
        for (const Name& entry : kNames) {
            if (entry.name == name) {
                fault.kind = entry.kind;
                known = true;
            }
        }
        if (!known) {
            error = "--fault: unknown fault '" + std::string(name) +
                    "' (length, checksum, fill or split)";
            return -1;
        }
        if (colon != std::string_view::npos &&
            !ReadDecimal(item.substr(colon + 1), 1, 1000000, fault.every)) {
            error = "--fault: '" + std::string(item) + "' needs a period of 1 or more after ':'";
            return -1;
        }
        options.faults.push_back(fault);
    }
    return 0;
}

int ParseLink(std::string_view value, SimOptions& options, std::string& error)
{
    if (value.empty()) {
        error = "--link needs a path";
        return -1;
    }
    options.link = value;
    return 0;
}

struct Option {
    std::string_view name;
    int (*parse)(std::string_view value, SimOptions& options, std::string& error);
};

constexpr Option kValueOptions[] = {
    {"--nodes", ParseNodes},     {"--link", ParseLink},   {"--version", ParseVersion},
    {"--traffic", ParseTraffic}, {"--fault", ParseFault}, {"--pause", ParsePause},
};

} // namespace

int ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "--help") {
            options.help = true;
            continue;
        }
        if (argument == "--until-eof") {
            options.untilEof = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const Option* option = nullptr;
        for (const Option& candidate : kValueOptions) {
            if (candidate.name == name)
                option = &candidate;
        }
        if (!option) {
            error = argument.starts_with("-") ? "unknown option '" + std::string(argument) + "'"
                                              : "unexpected argument '" + std::string(argument) + "'";
            return -1;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = "option '" + std::string(name) + "' needs a value";
            return -1;
        }
        if (option->parse(value, options, error) != 0)
            return -1;
    }
    return 0;
}

const char* SimUsage()
{
    return "Usage: orvane-sim [OPTION]...\n"
           "Simulates an Orvane bus on a pseudo-terminal. Prints the device path of the\n"
           "terminal end (the one a monitor opens) on standard output, then serves the bus\n"
           "until it gets SIGINT or SIGTERM.\n"
           "\n"
           "  --nodes LIST      node IDs on the bus, comma-separated, 0 to 62 (63 is the\n"
           "                    monitor's own); default 1,5,12\n"
           "  --link PATH       also place a symbolic link PATH to the device; an old\n"
           "                    link there is replaced; removed again at exit\n"
           "  --version V       framing: 1.0, 1.1 or auto (default): auto takes a packet\n"
           "                    as 1.1 when its third byte is the length's complement and\n"
           "                    its checksum matches, as 1.0 otherwise; every answer goes\n"
           "                    out in the framing of its request\n"
           "  --traffic MS      every MS milliseconds, unasked traffic: nodes in turn\n"
           "                    broadcast their 16-bit and 32-bit register 15 (a counter\n"
           "                    that advances each time), each pair followed by a burst;\n"
           "                    framed by --version, in auto as the last request (1.1\n"
           "                    before any)\n"
           "  --fault KIND[:N]  damage every Nth packet sent (default every one); may be\n"
           "                    repeated or given as a comma-separated list:\n"
           "                      length    flip the top bit of the length byte, next\n"
           "                                time of its complement (1.1 packets only;\n"
           "                                repairable when the payload is under 40 bytes)\n"
           "                      checksum  invert the checksum byte (1.1 packets only)\n"
           "                      fill      send three 0x00 fill bytes before the packet\n"
           "                      split     write the packet in three pieces (first byte,\n"
           "                                rest of the header, payload) with pauses\n"
           "  --pause MS        pause between the pieces of a split packet; default 60\n"
           "  --until-eof       also stop when standard input ends, for scripts that\n"
           "                    start the simulator through a pipe\n"
           "  --help            show this text\n"
           "\n"
           "Each node holds 16 16-bit and 16 32-bit registers, a 512-byte memory, a\n"
           "profile text and its ID, and answers what is addressed to it or broadcast:\n"
           "get16/get32 with reply16/reply32, read8/read16 with mreply8/mreply16, reqprof\n"
           "with repprof, bulkget with bulkreply, setid with setidreply, always to the\n"
           "sender; set16/set32, write8/write16 and bulkset store, reset restores the\n"
           "power-on values (the ID stays). Power-on values: 16-bit register r of node n\n"
           "is n*256+r, 32-bit register r is n*0x1000000+r, memory byte a is (a+n) mod\n"
           "256. Memory addresses wrap at 512; bulk word k is the 16-bit memory word at\n"
           "byte address 2k (words wrap at 256). A bulkget for more than 125 words, which\n"
           "no reply packet holds, and a setid to an ID above 63 are not answered.\n"
           "Damaged packets are dropped; a packet left incomplete for 200 ms is given up.\n"
           "\n"
           "Exit status: 0 after a signal or the end of input, 1 when the terminal or\n"
           "the link cannot be made, 2 for a wrong option.\n";
}

} // namespace sim
