// The demo run headless: the simulated Orvane bus inside the program answers
// what Tamsel sends, in both framing versions, and the node table shows what
// the answers brought.
#include "TamselProcess.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

const char kIntroduction[] =
    "Tamsel demo: a simulated Orvane bus with nodes 1, 5 and 12 answers on COM1.\r\n"
    "Commands to try, with Orvane 1.0 or 1.1 chosen for both conversions:\r\n"
    "  get16 all 0                 every node reports its 16-bit register 0\r\n"
    "  set16 5 3 1234;get16 5 3    store a register of node 5, then read it back\r\n"
    "  get32 12 1                  a 32-bit register of node 12\r\n"
    "  read16 1 0x20               a word of node 1's memory\r\n"
    "  bulkget 12 0 4              four words of node 12's memory in one reply\r\n"
    "  reqprof 5                   the profile text of node 5\r\n"
    "  setid 12 33                 node 12 takes the ID 33\r\n"
    "  shownode                    the nodes seen so far (shownode reg16 5: registers)\r\n";

class DemoRun : public testing::Test {
protected:
    std::string ProfilePath() const { return m_folder.filePath(QStringLiteral("demo.conf")).toStdString(); }

    QTemporaryDir m_folder;
};

TEST_F(DemoRun, OpensTheReportWithCommandsToTry)
{
    const TamselRun run = RunTamsel({"--demo", "--headless", "--profile", ProfilePath(), "--linger", "0"}, "");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, kIntroduction);
    EXPECT_EQ(run.errors, "");
}

TEST_F(DemoRun, AGoneReaderOfItsOpeningLinesEndsTheRunWithStatusOne)
{
    TamselProcess tamsel({"--demo", "--headless", "--profile", ProfilePath()});
    tamsel.CloseOutput();
    EXPECT_EQ(tamsel.Wait(10000, false), 1);
    EXPECT_EQ(tamsel.Errors(), "tamsel: standard output: Broken pipe\n");
}

TEST_F(DemoRun, TakesThePortTheProfileOrTheCommandLineNames)
{
    {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        profile.setValue(QStringLiteral("tamsel_OV/comport"), QStringLiteral("\\\\.\\COM7"));
    }
    // Neither port leads anywhere but to the demo's bus.
    const std::vector<std::string> unmapped{"--map", "COM7=/dev/tamsel-no-device", "--map",
                                            "COM3=/dev/tamsel-no-device"};
    std::vector<std::string> arguments{"--demo", "--headless", "--profile", ProfilePath()};
    arguments.insert(arguments.end(), unmapped.begin(), unmapped.end());
    const TamselRun fromProfile = RunTamsel(arguments, "::quit\n");
    EXPECT_EQ(fromProfile.status, 0) << fromProfile.errors;
    EXPECT_EQ(fromProfile.output.substr(0, fromProfile.output.find("\r\n")),
              "Tamsel demo: a simulated Orvane bus with nodes 1, 5 and 12 answers on COM7.");

    arguments.insert(arguments.end(), {"--port", "COM3"});
    const TamselRun fromOption = RunTamsel(arguments, "::rx ov11\n::tx ov11\n::echo off\nget16 5 3\n");
    EXPECT_EQ(fromOption.status, 0) << fromOption.errors;
    EXPECT_EQ(fromOption.output.substr(0, fromOption.output.find("\r\n")),
              "Tamsel demo: a simulated Orvane bus with nodes 1, 5 and 12 answers on COM3.");
    EXPECT_EQ(fromOption.output.substr(sizeof kIntroduction - 1),
              "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
}

// The answers to every kind of request, then the node table: node 12 is
// remembered under its old ID beside its new one, 33.
const char kAnswers[] =
    "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n"
    "Rep16 Reg.3 = 0xFFFF(65535,    -1) from ID:05 to ID:3F\r\n"
    "Rep16 Reg.0 = 0x0100(  256,   256) from ID:01 to ID:3F\r\n"
    "Rep16 Reg.0 = 0x0500( 1280,  1280) from ID:05 to ID:3F\r\n"
    "Rep16 Reg.0 = 0x0C00( 3072,  3072) from ID:0C to ID:3F\r\n"
    "Rep32 Reg.1 = 0x075BCD15(123456789) from ID:0C to ID:3F\r\n"
    "BulkReply from ID:0C to ID:3F: S:0 Len:3> 0x0D0C( 3340), 0x1234( 4660), 0xABCD(43981), \r\n"
    "mreply16 from ID:05 to ID:3F: addr:0x00020 val:0xBEEF( 48879)\n"
    "mreply8 from ID:05 to ID:3F: addr:0x00010 val:0x15(  21)\n"
    "Reply Profile from ID:01 to ID:3F 'Orvane sim node 1: 16x16-bit, 16x32-bit registers, "
    "512-byte memory'\r\n"
    "SetID reply to to ID:3F, 0C changed to 21\r\n"
    "Rep32 Reg.2 = 0x0C000002(201326594) from ID:21 to ID:3F\r\n"
    "Valid Nodes: -1---5------2--------------------3------------------------------\r\n"
    "Node 5(05)  16bit registers\r\n"
    " 1280(0500) -----(----) -----(----) 65535(FFFF) -----(----) -----(----) -----(----) -----(----) \r\n"
    "-----(----) -----(----) -----(----) -----(----) -----(----) -----(----) -----(----) -----(----) \r\n";

class DemoVersions : public DemoRun, public testing::WithParamInterface<const char*> {};

TEST_P(DemoVersions, AnswerEveryRequestAndShownodeShowsTheNodesAfterwards)
{
    const std::string version = GetParam();
    const TamselRun run = RunTamsel({"--demo", "--headless", "--profile", ProfilePath(), "--rx", version, "--tx",
                                     version, "--echo", "off"},
                                    "get16 5 3\n"
                                    "set16 5 3 0xFFFF;get16 5 3\n"
                                    "get16 all 0\n"
                                    "set32 12 1 123456789;get32 12 1\n"
                                    "bulkset 12 1 2 0x1234 0xABCD;bulkget 12 0 3\n"
                                    "write16 5 0x20 0xBEEF;read16 5 0x20;read8 5 0x10\n"
                                    "reqprof 1\n"
                                    "setid 12 33;get32 33 2\n"
                                    "::wait\n"
                                    "shownode\n"
                                    "shownode reg16 5\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    ASSERT_EQ(run.output.rfind(kIntroduction, 0), 0u) << run.output;
    EXPECT_EQ(run.output.substr(sizeof kIntroduction - 1), kAnswers);
}

INSTANTIATE_TEST_SUITE_P(Framing, DemoVersions, testing::Values("ov10", "ov11"));

} // namespace
