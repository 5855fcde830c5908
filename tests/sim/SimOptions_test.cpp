#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sim;

namespace {

int Parse(std::vector<const char*> args, SimOptions& options, std::string& error)
{
    args.insert(args.begin(), "orvane-sim");
    return ParseSimOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(SimOptions, DefaultsAreThreeNodesInAutoWithoutTrafficOrFaults)
{
    SimOptions options;
    std::string error;
    ASSERT_EQ(Parse({}, options, error), 0);
    EXPECT_EQ(options.nodes, (std::vector<int>{1, 5, 12}));
    EXPECT_EQ(options.version, VersionMode::Auto);
    EXPECT_EQ(options.trafficMs, 0);
    EXPECT_TRUE(options.faults.empty());
    EXPECT_TRUE(options.link.empty());
    EXPECT_EQ(options.pauseMs, 60);
    EXPECT_FALSE(options.untilEof);
    EXPECT_FALSE(options.help);
}

TEST(SimOptions, ReadsEveryOptionInBothSpellings)
{
    SimOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--nodes", "0,62,7", "--link=/tmp/bus", "--version", "1.1", "--traffic=250",
                     "--fault", "length", "--fault=fill:3,split", "--pause", "0", "--until-eof",
                     "--help"},
                    options, error),
              0)
        << error;
    EXPECT_EQ(options.nodes, (std::vector<int>{0, 62, 7}));
    EXPECT_EQ(options.link, "/tmp/bus");
    EXPECT_EQ(options.version, VersionMode::V11);
    EXPECT_EQ(options.trafficMs, 250);
    ASSERT_EQ(options.faults.size(), 3u);
    EXPECT_EQ(options.faults[0].kind, FaultKind::Length);
    EXPECT_EQ(options.faults[0].every, 1);
    EXPECT_EQ(options.faults[1].kind, FaultKind::Fill);
    EXPECT_EQ(options.faults[1].every, 3);
    EXPECT_EQ(options.faults[2].kind, FaultKind::Split);
    EXPECT_EQ(options.pauseMs, 0);
    EXPECT_TRUE(options.untilEof);
    EXPECT_TRUE(options.help);

    ASSERT_EQ(Parse({"--version=1.0", "--fault", "checksum:2"}, options, error), 0);
    EXPECT_EQ(options.version, VersionMode::V10);
    EXPECT_EQ(options.faults.back().kind, FaultKind::Checksum);
    EXPECT_EQ(options.faults.back().every, 2);
}

struct BadOption {
    std::vector<const char*> args;
    const char* message;
};

class SimOptionErrors : public testing::TestWithParam<BadOption> {};

TEST_P(SimOptionErrors, AreRefusedWithAClearMessage)
{
    SimOptions options;
    std::string error;
    EXPECT_EQ(Parse(GetParam().args, options, error), -1);
    EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimOptionErrors,
    testing::Values(
        BadOption{{"--bogus"}, "unknown option '--bogus'"},
        BadOption{{"-n", "5"}, "unknown option '-n'"},
        BadOption{{"stray"}, "unexpected argument 'stray'"},
        BadOption{{"--nodes"}, "option '--nodes' needs a value"},
        BadOption{{"--nodes", "x"}, "--nodes: 'x' is not a node ID from 0 to 62"},
        BadOption{{"--nodes", "63"},
                  "--nodes: '63' is not a node ID from 0 to 62 (63 is the monitor's own)"},
        BadOption{{"--nodes", "-1"}, "--nodes: '-1' is not a node ID from 0 to 62"},
        BadOption{{"--nodes", "1,,2"}, "--nodes: '' is not a node ID from 0 to 62"},
        BadOption{{"--nodes", "1,5 "}, "--nodes: '5 ' is not a node ID from 0 to 62"},
        BadOption{{"--nodes="}, "--nodes: '' is not a node ID from 0 to 62"},
        BadOption{{"--nodes", "5,1,5"}, "--nodes: node 5 is listed twice"},
        BadOption{{"--version", "2"}, "--version must be 1.0, 1.1 or auto, not '2'"},
        BadOption{{"--traffic", "-5"}, "--traffic: '-5' is not a period from 0 to 3600000 ms"},
        BadOption{{"--traffic", "10ms"}, "--traffic: '10ms' is not a period from 0 to 3600000 ms"},
        BadOption{{"--pause", "10001"}, "--pause: '10001' is not a pause from 0 to 10000 ms"},
        BadOption{{"--fault", "noise"},
                  "--fault: unknown fault 'noise' (length, checksum, fill or split)"},
        BadOption{{"--fault", "fill,"}, "--fault: unknown fault '' (length, checksum, fill or split)"},
        BadOption{{"--fault", "fill:0"}, "--fault: 'fill:0' needs a period of 1 or more after ':'"},
        BadOption{{"--fault", "split:"}, "--fault: 'split:' needs a period of 1 or more after ':'"},
        BadOption{{"--link", ""}, "--link needs a path"},
        BadOption{{"--help=yes"}, "unknown option '--help=yes'"}));

} // namespace
