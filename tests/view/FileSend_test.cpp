// Sending a file over a pseudo-terminal: the far side receives it exactly,
// paced as asked, while the window keeps running; cancel, time-out and
// files that cannot be sent.
#include "ViewHarness.h"

#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "view/CSendBar.h"
#include "xrate/MessageBox.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace {

std::string WriteTemp(const std::string& content)
{
    char pattern[] = "/tmp/tamsel-send-XXXXXX";
    close(mkstemp(pattern));
    std::ofstream(pattern, std::ios::binary) << content;
    return pattern;
}

// Every byte value, with line ends of both kinds among them.
std::string AllBytes(int lines)
{
    std::string content;
    for (int i = 0; i < lines; ++i) {
        for (int b = 0; b < 256; b += 37)
            content += static_cast<char>((b + i) & 0xFF);
        content += i % 2 ? "\r\n" : "\n";
    }
    return content;
}

class FileSend : public ViewOnLine {
protected:
    void TearDown() override
    {
        for (const std::string& path : files)
            std::remove(path.c_str());
    }
    std::string File(const std::string& content)
    {
        files.push_back(WriteTemp(content));
        return files.back();
    }
    // Runs the event loop until the send ends; whether it ended well.
    bool WaitForEnd(int timeoutMs = 10000)
    {
        ended.reset();
        WaitUntil([this] { return ended.has_value(); }, timeoutMs);
        return ended.value_or(false);
    }
    void SetUp() override
    {
        ViewOnLine::SetUp();
        QObject::connect(&view, &CChildView::fileSendEnded, &view, [this](bool done) { ended = done; });
    }

    std::vector<std::string> files;
    std::optional<bool> ended;
};

TEST_F(FileSend, RawPacedSendReachesTheFarSideExactlyAndTakesItsPauses)
{
    const std::string content = AllBytes(6);  // 6 lines of 9 bytes and a line end
    const std::string path = File(content);
    const SendPacing pacing{2, 25};
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(view.SendFile(path, pacing), 0);
    EXPECT_TRUE(view.SendingFile());
    EXPECT_TRUE(view.SendBar()->isVisibleTo(&view));
    int highest = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        highest = std::max(highest, view.SendBar()->findChild<QProgressBar*>()->value());
    });
    watch.start(5);
    EXPECT_TRUE(WaitForEnd());
    const long long took = clock.elapsed();
    EXPECT_EQ(line.Read(content.size()), content);
    // A lower bound only: every character and line waited at least its pause.
    EXPECT_GE(took, static_cast<long long>(content.size()) * pacing.charDelayMs + 6 * pacing.lineDelayMs);
    EXPECT_GT(highest, 0) << "the bar showed the progress";
    EXPECT_FALSE(view.SendingFile());
    EXPECT_FALSE(view.SendBar()->isVisibleTo(&view));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(line.ReadReply(100), "") << "nothing more";
}

TEST_F(FileSend, OtherConversionsSendEachLineAsATypedCommandWithItsEcho)
{
    view.Session().SetLocalEcho(true);
    std::size_t typedCommands = 0;
    for (const int conversion : {kConversionHex, kConversionOV11}) {
        view.Session().SetTransmitConversion(conversion);
        const std::string typed = conversion == kConversionHex ? "AB" : "get16 5 3";
        // What typing the line and Enter gives, for comparison.
        view.OnCommand(ID_CLEAR_REPORT);
        view.CommandLine()->setPlainText(QString::fromStdString(typed));
        view.OnCommand(ID_SEND_COMMAND);
        ++typedCommands;
        const std::string once = line.ReadReply();
        const std::string echo = view.Session().Report().Text();
        ASSERT_FALSE(once.empty());

        view.OnCommand(ID_CLEAR_REPORT);
        ASSERT_EQ(view.SendFile(File(typed + "\r\n" + typed + "\n"), {0, 0}), 0);
        EXPECT_TRUE(WaitForEnd());
        EXPECT_EQ(line.Read(2 * once.size()), once + once) << conversion;
        EXPECT_EQ(view.Session().Report().Text(), echo + echo) << conversion;
        EXPECT_EQ(view.History().Size(), typedCommands) << "file lines are not kept in the history";
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FileSend, CancelStopsTheSendAfterAPrefixOfTheFile)
{
    const std::string content = AllBytes(200);
    ASSERT_EQ(view.SendFile(File(content), {1, 0}), 0);
    ASSERT_TRUE(WaitUntil([this] { return view.SendBar()->findChild<QProgressBar*>()->value() > 0; }));
    view.SendBar()->findChild<QPushButton*>(QStringLiteral("sendCancel"))->click();
    EXPECT_EQ(ended, std::optional<bool>(false));
    EXPECT_FALSE(view.SendingFile());
    const std::string got = line.ReadUntilQuiet(150);
    EXPECT_FALSE(got.empty());
    EXPECT_LT(got.size(), content.size());
    EXPECT_EQ(got, content.substr(0, got.size()));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FileSend, CancelFromUnderAConvertersBoxEndsTheSendOnceTheLineIsDone)
{
    view.Session().SetTransmitConversion(kConversionOV11);
    std::vector<std::string> texts;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxCall& call) {
        texts.push_back(call.text);
        view.CancelFileSend();  // as the user would, while the box is open
        return kIdOk;
    });
    ASSERT_EQ(view.SendFile(File("get16 5 3\nbogus\nget16 5 3\n"), {0, 0}), 0);
    EXPECT_FALSE(WaitForEnd());
    SetMessageBoxHandler(std::move(previous));
    EXPECT_EQ(texts.size(), 1u);
    EXPECT_FALSE(view.SendingFile());
    EXPECT_EQ(line.ReadUntilQuiet(150), std::string("\x45\x02\xFD\x43\x3F\x42", 6)) << "the third line never went";
}

TEST_F(FileSend, AFileThatCannotBeReadAndASendWithoutAPortSayWhyAndSendNothing)
{
    EXPECT_EQ(view.SendFile("/tmp/tamsel-no-such-file", {}), -1);
    CChildView portless(FastLineTimings());
    EXPECT_EQ(portless.SendFile(File("x\n"), {}), -1);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, "Cannot read /tmp/tamsel-no-such-file: No such file or directory");
    EXPECT_EQ(boxes.calls[1].text, "Failed to transmit");
    EXPECT_EQ(boxes.calls[1].caption, "Tamsel::ComSend");
    EXPECT_FALSE(view.SendingFile());
    EXPECT_EQ(line.ReadReply(100), "");
}

TEST(FileSendTimeOut, AFarSideThatStopsReadingEndsTheSendSayingHowManyBytesWentOutAndTheWindowRuns)
{
    MessageBoxRecorder boxes;
    PseudoTerminal line;
    LineTimings timings = FastLineTimings();
    timings.port.writePerByteMs = 0;
    timings.port.writeConstantMs = 300;
    CChildView view(timings);
    ASSERT_TRUE(view.Session().Ports().SetUserPath(kTestPortKey, line.Path()));
    ASSERT_EQ(view.Session().ComReopen(kTestPortName, 115200), 0);
    std::optional<bool> ended;
    QObject::connect(&view, &CChildView::fileSendEnded, &view, [&](bool done) { ended = done; });

    // Far more than a pseudo-terminal holds when nobody reads it.
    const std::string content(1 << 20, 'z');
    const std::string path = WriteTemp(content);
    ASSERT_EQ(view.SendFile(path, {}), 0);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    ASSERT_TRUE(WaitUntil([&] { return ended.has_value(); }, 20000));
    tick.stop();
    EXPECT_EQ(ended, std::optional<bool>(false));
    // The line was stuck for at least its 300 ms time-out; a window that
    // waited on it in one go would have missed these ticks.
    EXPECT_GE(ticks, 10);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Failed to transmit (Time out?)");
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::ComSend");
    // The count the box gives is what the far side finds once it reads.
    const std::string& detail = boxes.calls[0].detail;
    const long long said = std::stoll(detail);
    EXPECT_NE(detail.find(path), std::string::npos) << detail;
    EXPECT_EQ(static_cast<long long>(line.ReadUntilQuiet(200).size()), said) << detail;
    EXPECT_GT(said, 0);
    std::remove(path.c_str());
}

} // namespace
