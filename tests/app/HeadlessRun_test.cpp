// Whole headless runs of the program against pseudo-terminals: commands in
// and the bytes on the far side, bytes in and the report on standard output,
// the directives, message boxes on standard error and the exit statuses.
#include "serial/LineRate.h"
#include "support/PseudoTerminal.h"
#include "TamselProcess.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <ostream>
#include <string>
#include <vector>

using testsupport::PseudoTerminal;

namespace {

const char kRates[] = "from 50 to 4000000 bps";

// A headless run with a profile file of its own and COM1 on a pseudo-terminal.
class HeadlessRun : public testing::Test {
protected:
    std::string ProfilePath() const { return m_folder.filePath(QStringLiteral("run.conf")).toStdString(); }

    std::vector<std::string> Arguments(std::vector<std::string> more) const
    {
        std::vector<std::string> arguments{"--headless", "--profile", ProfilePath(), "--map",
                                           "COM1=" + line.Path(), "--port", "COM1"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    void StoreProfile(const std::vector<std::pair<const char*, QVariant>>& values) const
    {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        for (const auto& [key, value] : values)
            profile.setValue(QStringLiteral("tamsel_OV/") + QString::fromLatin1(key), value);
    }

    QString Saved(const char* key) const
    {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        return profile.value(QStringLiteral("tamsel_OV/") + QString::fromLatin1(key)).toString();
    }

    QTemporaryDir m_folder;
    PseudoTerminal line;
};

struct SendCase {
    const char* conversion;
    std::string command;
    std::string bytes;
};

void PrintTo(const SendCase& c, std::ostream* out)
{
    *out << c.conversion << " \"" << c.command << '"';
}

const SendCase kSends[] = {
    {"raw", "hello", "hello\r\n"},
    {"raw", "caf\xe9", "caf\xe9\r\n"},
    {"hex", "AB", "4142\r\n"},
    {"bin", "0d0A", "\r\n"},
    {"ov10", "get16 5 3", std::string("\x45\x02\x43\x3F", 4)},
    {"ov11", "get16 5 3", std::string("\x45\x02\xFD\x43\x3F\x42", 6)},
};

class HeadlessSends : public HeadlessRun, public testing::WithParamInterface<SendCase> {};

TEST_P(HeadlessSends, EachInputLineAsEnterSendsIt)
{
    const SendCase& c = GetParam();
    const TamselRun run = RunTamsel(Arguments({"--tx", c.conversion, "--linger", "0"}), c.command + "\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(line.ReadReply(), c.bytes);
    EXPECT_EQ(run.output, ">> " + c.command + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Conversions, HeadlessSends, testing::ValuesIn(kSends));

struct ReceiveCase {
    const char* conversion;
    std::string bytes;
    std::string report;
};

void PrintTo(const ReceiveCase& c, std::ostream* out)
{
    *out << c.conversion;
}

const ReceiveCase kReceives[] = {
    {"raw", "abc\r\nd\xe9\x01 end", "abc\r\nd\xe9\x01 end"},
    {"hex", "414243\r\n", "ABC\r\n"},
    {"bin", std::string("\x00\x41\xFF", 3), "00 41 FF "},
};

class HeadlessReceives : public HeadlessRun, public testing::WithParamInterface<ReceiveCase> {};

TEST_P(HeadlessReceives, TheReportOnStandardOutputByteForByte)
{
    const ReceiveCase& c = GetParam();
    TamselProcess tamsel(Arguments({"--rx", c.conversion, "--tx", "raw"}));
    tamsel.Write("ping\n");
    ASSERT_TRUE(tamsel.WaitForOutput(">> ping\r\n")) << tamsel.Errors();
    EXPECT_EQ(line.ReadReply(), "ping\r\n");
    ASSERT_TRUE(line.Write(c.bytes));
    EXPECT_EQ(tamsel.Wait(), 0) << tamsel.Errors();
    EXPECT_EQ(tamsel.Output(), ">> ping\r\n" + c.report);
    EXPECT_EQ(tamsel.Errors(), "");
}

INSTANTIATE_TEST_SUITE_P(Conversions, HeadlessReceives, testing::ValuesIn(kReceives));

TEST_F(HeadlessRun, TheEndOfInputWaitsUntilTheLineHasBeenQuietForTheLingerTime)
{
    TamselProcess tamsel(Arguments({"--rx", "raw", "--tx", "raw", "--linger", "1000"}));
    tamsel.Write("go\n");
    ASSERT_TRUE(tamsel.WaitForOutput(">> go\r\n")) << tamsel.Errors();
    tamsel.CloseInput();
    // Pauses shorter than the linger time keep the run going.
    for (const char* burst : {"one ", "two ", "three"}) {
        ASSERT_TRUE(line.Write(burst));
        ASSERT_TRUE(tamsel.WaitForOutput(burst));
        usleep(150000);
    }
    EXPECT_EQ(tamsel.Wait(), 0) << tamsel.Errors();
    EXPECT_EQ(tamsel.Output(), ">> go\r\none two three");
}

TEST_F(HeadlessRun, EchoAndReceiveDirectivesSwitchAsTheirMenuItemsDo)
{
    TamselProcess tamsel(Arguments({"--rx", "raw", "--tx", "raw"}));
    tamsel.Write("a\n::echo off\nb\n::echo on\n::receive off\nc\n");
    ASSERT_TRUE(tamsel.WaitForOutput(">> c\r\n")) << tamsel.Errors();
    EXPECT_EQ(line.ReadReply(), "a\r\nb\r\nc\r\n");
    // Bytes that come while display is off are converted but not shown.
    ASSERT_TRUE(line.Write("hidden"));
    tamsel.Write("::wait 500\n::receive on\nd\n");
    ASSERT_TRUE(tamsel.WaitForOutput(">> d\r\n")) << tamsel.Errors();
    ASSERT_TRUE(line.Write("shown"));
    EXPECT_EQ(tamsel.Wait(), 0) << tamsel.Errors();
    EXPECT_EQ(tamsel.Output(), ">> a\r\n>> c\r\n>> d\r\nshown");
}

TEST_F(HeadlessRun, PortAndBaudDirectivesReopenAsTheSetupDialogDoesAndSaveKeepsThem)
{
    PseudoTerminal second;
    const TamselRun run = RunTamsel(Arguments({"--map", "COM2=" + second.Path(), "--tx", "raw", "--linger", "0"}),
                                    "a\n::port COM2\nb\n::baud 57600\nc\n::save\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), "a\r\n");
    EXPECT_EQ(second.ReadReply(), "b\r\nc\r\n");
    EXPECT_EQ(Saved("comport"), "\\\\.\\COM2");
    EXPECT_EQ(Saved("comspeed"), "57600");
}

TEST_F(HeadlessRun, ARateBeyondTheTableGoesOnTheLineAndSaveKeepsItBesideTheTableRate)
{
    const TamselRun run = RunTamsel(Arguments({"--baud", "250000", "--tx", "raw", "--linger", "0"}), "a\n::save\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), "a\r\n");
    int output = 0;
    int input = 0;
    ASSERT_EQ(ReadLineRates(line.Slave(), output, input), 0);
    EXPECT_EQ(output, 250000);
    EXPECT_EQ(input, 250000);
    EXPECT_EQ(Saved("comspeed"), "115200");
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(profile.value(QStringLiteral("line/rate")).toInt(), 250000);

    // The next run without --baud comes back at it; ::baud picks another.
    const TamselRun next = RunTamsel(Arguments({"--tx", "raw", "--linger", "0"}), "b\n::baud 1000000\nc\n");
    EXPECT_EQ(next.status, 0) << next.errors;
    EXPECT_EQ(line.ReadReply(), "b\r\nc\r\n");
    ASSERT_EQ(ReadLineRates(line.Slave(), output, input), 0);
    EXPECT_EQ(output, 1000000);
}

TEST_F(HeadlessRun, PortTakesADevicePathForComOne)
{
    PseudoTerminal device;
    const TamselRun run = RunTamsel({"--headless", "--profile", ProfilePath(), "--port", device.Path(), "--tx", "raw",
                                     "--linger", "0"},
                                    "via path\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(device.ReadReply(), "via path\r\n");

    const std::string gone = "/dev/serial/by-id/usb-Tamsel_Gone_0001-if00-port0";
    const TamselRun missing = RunTamsel({"--headless", "--profile", ProfilePath(), "--port", gone}, "never\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors, "Tamsel::ComOpen: Cannot open communication port '\\\\.\\COM1' (" + gone +
                                  ": no such device (that adapter is not plugged in; tamsel --list-ports lists "
                                  "the devices present))\n");
}

TEST_F(HeadlessRun, SleepHoldsBackTheLinesAfterIt)
{
    TamselProcess tamsel(Arguments({"--tx", "raw", "--linger", "0"}));
    tamsel.Write("early\n::sleep 800\nlate\n");
    tamsel.CloseInput();
    ASSERT_TRUE(tamsel.WaitForOutput(">> early\r\n")) << tamsel.Errors();
    EXPECT_EQ(line.ReadReply(), "early\r\n");
    EXPECT_EQ(line.ReadReply(200), "");
    EXPECT_EQ(tamsel.Wait(), 0) << tamsel.Errors();
    EXPECT_EQ(line.ReadReply(), "late\r\n");
}

TEST_F(HeadlessRun, QuitEndsTheRunAtOnceWithInputStillOpen)
{
    TamselProcess tamsel(Arguments({"--tx", "raw"}));
    tamsel.Write("first\n::quit\nnever\n");
    EXPECT_EQ(tamsel.Wait(10000, false), 0) << tamsel.Errors();
    EXPECT_EQ(line.ReadReply(), "first\r\n");
    EXPECT_EQ(tamsel.Output(), ">> first\r\n");
}

TEST_F(HeadlessRun, SendPutsALineThatBeginsWithTwoColonsOnTheLine)
{
    const TamselRun run =
        RunTamsel(Arguments({"--tx", "raw", "--linger", "0"}), "::send ::rx hex\n::send\r\nlast line");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), "::rx hex\r\n\r\nlast line\r\n");
    EXPECT_EQ(run.output, ">> ::rx hex\r\n>> \r\n>> last line\r\n");
}

TEST_F(HeadlessRun, SendFileSendsThePacedFileBeforeTheNextLineAndAMissingFileIsOneMessage)
{
    {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        profile.setValue(QStringLiteral("sendfile/chardelay"), 1);
        profile.setValue(QStringLiteral("sendfile/linedelay"), 20);
    }
    const std::string content = std::string("one\r\ntwo\n\0\xff\n", 11);
    const std::string path = m_folder.filePath(QStringLiteral("to send")).toStdString();
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
    }
    const std::string missing = m_folder.filePath(QStringLiteral("missing")).toStdString();
    const TamselRun run = RunTamsel(Arguments({"--tx", "raw", "--linger", "0"}),
                                    "::sendfile " + path + "\nafter\n::sendfile " + missing + "\nlast\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), content + "after\r\nlast\r\n");
    EXPECT_EQ(run.errors, "Tamsel::SendFile: Cannot read " + missing + ": No such file or directory\n");
}

TEST_F(HeadlessRun, ConversionDirectivesChooseTheMenuCommands)
{
    const TamselRun run = RunTamsel(Arguments({"--tx", "raw", "--linger", "0"}),
                                    "A\n::tx hex\nA\n::tx ov11\nget16 5 3\n::tx bin\n4142\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), "A\r\n41\r\n" + std::string("\x45\x02\xFD\x43\x3F\x42", 6) + "AB");
}

TEST_F(HeadlessRun, AMessageBoxIsOneLineOnStandardErrorAndTheRunGoesOn)
{
    const TamselRun run = RunTamsel(Arguments({"--tx", "bin", "--linger", "0"}), "41zz\n0d0a\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "Binary Translate Alart: Cannot read as hexadecimal\\n'zz' : 2th character\n");
    EXPECT_EQ(line.ReadReply(), "\r\n");
}

TEST_F(HeadlessRun, AControlCharacterInAMessageBoxStaysOnItsLine)
{
    const TamselRun run = RunTamsel(Arguments({"--tx", "bin", "--linger", "0"}), "41\x1b\rz\n0d0a\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "Binary Translate Alart: Cannot read as hexadecimal\\n'\\x1B\\r' : 2th character\n");
    EXPECT_EQ(line.ReadReply(), "\r\n");
}

TEST_F(HeadlessRun, CommandLineChoicesWinOverTheProfileWithoutOpeningItsPort)
{
    StoreProfile({{"comport", "COM9"}, {"comspeed", 9600}, {"receiveenable", 1}, {"localecho", 1},
                  {"receiveXrate", 3}, {"sendXrate", 3}});
    PseudoTerminal second;
    const TamselRun run = RunTamsel({"--headless", "--profile", ProfilePath(), "--map", "COM9=/dev/tamsel-no-device",
                                     "--map", "COM2=" + second.Path(), "--port", "COM2", "--baud", "115200",
                                     "--rx", "hex", "--tx", "bin", "--echo", "off", "--receive", "off",
                                     "--linger", "0"},
                                    "4142\n::save\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(second.ReadReply(), "AB");
    EXPECT_EQ(Saved("comport"), "\\\\.\\COM2");
    EXPECT_EQ(Saved("comspeed"), "115200");
    EXPECT_EQ(Saved("receiveXrate"), "1");
    EXPECT_EQ(Saved("sendXrate"), "2");
    EXPECT_EQ(Saved("localecho"), "0");
    EXPECT_EQ(Saved("receiveenable"), "0");
}

TEST_F(HeadlessRun, WhatTheCommandLineLeavesKeepsTheProfilesValue)
{
    StoreProfile({{"comport", "\\\\.\\COM1"}, {"comspeed", 19200}, {"receiveenable", 0}, {"localecho", 0},
                  {"receiveXrate", 4}, {"sendXrate", 0}});
    const TamselRun run = RunTamsel(Arguments({"--baud", "300", "--linger", "0"}), "x\n::save\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(line.ReadReply(), "x\r\n");
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(Saved("comspeed"), "300");
    EXPECT_EQ(Saved("receiveXrate"), "4");
    EXPECT_EQ(Saved("sendXrate"), "0");
    EXPECT_EQ(Saved("localecho"), "0");
    EXPECT_EQ(Saved("receiveenable"), "0");
}

TEST_F(HeadlessRun, APortThatCannotBeOpenedEndsTheRunWithStatusOneAfterItsMessage)
{
    const TamselRun run = RunTamsel({"--headless", "--profile", ProfilePath(), "--map",
                                     "COM1=/dev/tamsel-no-device", "--port", "COM1"},
                                    "never sent\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors.rfind("Tamsel::ComOpen: Cannot open communication port '\\\\.\\COM1' (", 0), 0u)
        << run.errors;
    EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << run.errors;
}

TEST_F(HeadlessRun, APortDirectiveThatCannotOpenEndsTheRunThere)
{
    const TamselRun run = RunTamsel(Arguments({"--map", "COM4=/dev/tamsel-no-device", "--tx", "raw"}),
                                    "before\n::port COM4\nafter\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(line.ReadReply(), "before\r\n");
    EXPECT_EQ(run.errors.rfind("Tamsel::ComOpen: Cannot open communication port '\\\\.\\COM4' (", 0), 0u)
        << run.errors;
}

TEST_F(HeadlessRun, AWrongDirectiveEndsTheRunWithStatusTwoAfterTheLinesBeforeIt)
{
    const TamselRun run = RunTamsel(Arguments({"--tx", "raw"}), "before\n::baud 4000001\nafter\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(line.ReadReply(), "before\r\n");
    EXPECT_EQ(run.errors, std::string("tamsel: input line 2: ::baud: '4000001' is not a rate ") + kRates + "\n");
}

TEST_F(HeadlessRun, AnOverlongInputLineEndsTheRunWithStatusTwo)
{
    const TamselRun run =
        RunTamsel(Arguments({"--tx", "raw"}), "short\n" + std::string(70000, 'x') + "\nafter\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(line.ReadReply(), "short\r\n");
    EXPECT_EQ(run.errors, "tamsel: input line 2 is longer than 65536 bytes\n");
}

TEST_F(HeadlessRun, AGoneReaderOfTheReportEndsTheRunWithStatusOne)
{
    TamselProcess tamsel(Arguments({"--tx", "raw"}));
    tamsel.CloseOutput();
    tamsel.Write("echoed\n");
    EXPECT_EQ(tamsel.Wait(), 1);
    EXPECT_EQ(tamsel.Errors(), "tamsel: standard output: Broken pipe\n");
}

struct UsageCase {
    std::vector<std::string> arguments;
    int status;
    const char* output;
    const char* errors;
};

void PrintTo(const UsageCase& c, std::ostream* out)
{
    for (const std::string& argument : c.arguments)
        *out << argument << ' ';
}

const UsageCase kUsage[] = {
    {{"--version"}, 0, "tamsel 1.1.2\n", ""},
    {{"--bogus"}, 2, "", "tamsel: unknown option '--bogus'\nTry 'tamsel --help'.\n"},
    {{"--headless", "--rx", "ov2"}, 2, "",
     "tamsel: --rx: 'ov2' is not a conversion (raw, hex, bin, ov10 or ov11)\nTry 'tamsel --help'.\n"},
    {{"--headless", "--profile", "/"}, 2, "",
     "tamsel: --profile: '/' is not a settings file that can be read\n"},
};

class HeadlessUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(HeadlessUsage, EndsBeforeAnythingStarts)
{
    const TamselRun run = RunTamsel(GetParam().arguments, "");
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.output, GetParam().output);
    EXPECT_EQ(run.errors, GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(Table, HeadlessUsage, testing::ValuesIn(kUsage));

TEST(HeadlessHelp, PrintsTheUsageAndEndsWithStatusZero)
{
    const TamselRun run = RunTamsel({"--help"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Usage: tamsel [OPTION]...\n", 0), 0u);
    EXPECT_EQ(run.errors, "");
}

} // namespace
