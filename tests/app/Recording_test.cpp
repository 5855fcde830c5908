// The session log and the raw capture of whole headless runs over a
// pseudo-terminal, and the replay of that capture: every byte kept, the
// failures said once, nothing lost at SIGTERM.
#include "support/PseudoTerminal.h"
#include "ShellFixture.h"
#include "TamselProcess.h"

#include "capture/CaptureFile.h"
#include "capture/Pcapng.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using testsupport::PseudoTerminal;

namespace {

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Far more than the report keeps: the log must not be trimmed with it.
std::string ManyLines()
{
    std::string text;
    for (int i = 0; text.size() < 60000; ++i)
        text += "reading " + std::to_string(i) + " \xB5V ok\r\n";
    return text;
}

class Recording : public testing::Test {
protected:
    std::string File(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)).toStdString(); }
    std::vector<std::string> Arguments(std::vector<std::string> more) const
    {
        std::vector<std::string> arguments{"--headless", "--profile", File("run.conf"), "--map",
                                           "COM1=" + line.Path(), "--port", "COM1", "--rx", "raw", "--tx", "raw"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    QTemporaryDir m_folder;
    PseudoTerminal line;
};

TEST_F(Recording, TheLogKeepsTheWholeReportTheCaptureBothWaysAndItsReplayShowsTheSame)
{
    const std::string received = ManyLines();
    TamselProcess tamsel(Arguments({"--log", File("run.log"), "--capture", File("run.pcapng")}));
    tamsel.Write("hello\n");
    ASSERT_EQ(line.Read(7), "hello\r\n");
    ASSERT_TRUE(line.Write(received));
    ASSERT_TRUE(tamsel.WaitForOutput(received.substr(received.size() - 40)));
    ASSERT_EQ(tamsel.Wait(), 0) << tamsel.Errors();
    EXPECT_EQ(tamsel.Output(), ">> hello\r\n" + received);
    EXPECT_EQ(Contents(File("run.log")), tamsel.Output());

    std::vector<unsigned char> file;
    const std::string captured = Contents(File("run.pcapng"));
    file.assign(captured.begin(), captured.end());
    std::vector<CapturedPacket> packets;
    std::string error;
    ASSERT_EQ(ReadCapture(file, packets, error), 0) << error;
    std::string in;
    std::string out;
    for (const CapturedPacket& packet : packets)
        (packet.direction == CaptureDirection::Inbound ? in : out).append(packet.bytes.begin(), packet.bytes.end());
    EXPECT_EQ(in, received);
    EXPECT_EQ(out, "hello\r\n");

    for (const char* speed : {"max", "50"}) {
        const TamselRun replay = RunTamsel({"--headless", "--profile", File("run.conf"), "--replay",
                                            File("run.pcapng"), "--replay-speed", speed, "--rx", "raw", "--linger", "0"},
                                           "");
        EXPECT_EQ(replay.status, 0) << replay.errors;
        EXPECT_EQ(replay.output, received) << speed;
    }
}

TEST_F(Recording, AReplayLongerThanOnePassOfTheEventLoopIsShownWhole)
{
    std::string received;
    for (int i = 0; received.size() < 1500000; ++i)
        received += ManyLines().substr(0, 1000 + i % 7);
    CaptureFile capture;
    std::string error;
    ASSERT_EQ(capture.Open(File("long.pcapng"), "\\\\.\\COM1", "test", 9600, error), 0) << error;
    for (std::size_t at = 0; at < received.size(); at += 4000)
        capture.Read(reinterpret_cast<const unsigned char*>(received.data() + at),
                     static_cast<int>(std::min<std::size_t>(4000, received.size() - at)));
    ASSERT_EQ(capture.Close(), 0);
    const TamselRun replay = RunTamsel({"--headless", "--profile", File("run.conf"), "--replay", File("long.pcapng"),
                                        "--replay-speed", "max", "--rx", "raw", "--linger", "0"},
                                       "");
    EXPECT_EQ(replay.status, 0) << replay.errors;
    EXPECT_EQ(replay.output.size(), received.size());
    EXPECT_TRUE(replay.output == received) << "the replay is the received bytes, in order";
}

TEST_F(Recording, SigtermEndsTheRunWithTheLogCompleteUpToTheLastReportText)
{
    TamselProcess tamsel(Arguments({"--log", File("cut.log")}));
    ASSERT_TRUE(line.Write("before the signal\r\n"));
    ASSERT_TRUE(tamsel.WaitForOutput("before the signal\r\n"));
    tamsel.Signal(SIGTERM);
    EXPECT_EQ(tamsel.Wait(10000, false), 128 + SIGTERM) << "ended through the event loop, not killed";
    EXPECT_EQ(Contents(File("cut.log")), "before the signal\r\n");
}

TEST_F(Recording, FilesThatCannotBeWrittenOrReadSayWhyOnce)
{
    const TamselRun unopened = RunTamsel(Arguments({"--log", File("no/such/folder.log")}), "");
    EXPECT_EQ(unopened.status, 1);
    EXPECT_EQ(unopened.errors, "Tamsel::Log: Cannot open the log " + File("no/such/folder.log") +
                                   ": No such file or directory\n");

    const TamselRun full = RunTamsel(Arguments({"--log", "/dev/full", "--linger", "600"}), "one\ntwo\n");
    EXPECT_EQ(full.status, 0) << "the session goes on";
    EXPECT_EQ(full.output, ">> one\r\n>> two\r\n");
    EXPECT_EQ(full.errors, "Tamsel::Log: Failed to write the log (logging has stopped) /dev/full: "
                           "No space left on device\n");

    std::ofstream(File("text.pcapng")) << "not a capture at all, only text";
    const TamselRun notCapture = RunTamsel({"--headless", "--profile", File("run.conf"), "--replay", File("text.pcapng")}, "");
    EXPECT_EQ(notCapture.status, 1);
    EXPECT_EQ(notCapture.errors, "Tamsel::Replay: " + File("text.pcapng") +
                                     " is not a pcapng capture written on this kind of machine\n");
}

TEST(RecordingInTheWindow, ThePaneNamesTheFilesWhileTheyAreWrittenAndTheStampsItemTogglesTheLogsStamps)
{
    QTemporaryDir folder;
    Shell shell;
    ASSERT_TRUE(shell.started);
    SessionRecorder& recorder = shell.View().Session().Recorder();
    auto pane = [&]() -> QLabel* {
        for (QLabel* label : shell.Frame().StatusBar()->findChildren<QLabel*>()) {
            if (label->text().startsWith(QStringLiteral("Log: ")) || label->text().startsWith(QStringLiteral("Capture: ")))
                return label;
        }
        return nullptr;
    };
    EXPECT_EQ(pane(), nullptr) << "nothing is shown while nothing is recorded";

    const std::string log = folder.filePath(QStringLiteral("w.log")).toStdString();
    shell.Frame().OnCommand(ID_LOG_STAMPS);
    ASSERT_EQ(recorder.StartLog(log, true, recorder.LogStamps()), 0);
    shell.View().Session().AppendReport("from the window\r\n");
    ASSERT_NE(pane(), nullptr);
    EXPECT_EQ(pane()->text(), QStringLiteral("Log: w.log"));
    EXPECT_TRUE(pane()->isVisibleTo(&shell.Frame()));
    shell.Frame().OnCommand(ID_LOG_STOP);
    EXPECT_FALSE(recorder.Logging());
    EXPECT_FALSE(pane() && pane()->isVisibleTo(&shell.Frame()));
    const std::string written = Contents(log);
    EXPECT_EQ(written.substr(written.size() - 17), "from the window\r\n");
    EXPECT_EQ(written.size(), 24 + 17u) << "a time stamp before the line";
    for (const MessageBoxCall& box : shell.boxes.calls)
        EXPECT_NE(box.caption, "Tamsel::Log") << box.text;
}

TEST(RecordingInTheWindow, TheWholeReportIsSavedAndCopiedWithItsLineEndsAndAFullDiskIsSaid)
{
    QTemporaryDir folder;
    Shell shell;
    ASSERT_TRUE(shell.started);
    shell.View().Session().AppendReport("first\r\n\xB5 second\r\n");
    const std::string report = shell.View().Session().Report().Text();
    ASSERT_NE(report.find("\xB5 second\r\n"), std::string::npos);

    const std::string path = folder.filePath(QStringLiteral("report.txt")).toStdString();
    EXPECT_EQ(shell.Frame().SaveReport(path), 0);
    EXPECT_EQ(Contents(path), report);

    shell.Frame().OnCommand(ID_REPORT_COPY_ALL);
    EXPECT_EQ(QApplication::clipboard()->text().toLatin1().toStdString(), report);

    shell.boxes.calls.clear();
    EXPECT_EQ(shell.Frame().SaveReport("/dev/full"), -1);
    ASSERT_EQ(shell.boxes.calls.size(), 1u);
    EXPECT_EQ(shell.boxes.calls[0].caption, "Tamsel::Save");
    EXPECT_EQ(shell.boxes.calls[0].text, "Cannot save the report to /dev/full: No space left on device");
}

} // namespace
