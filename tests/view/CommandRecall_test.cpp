// The command line's recall of the commands sent, and the history file.
#include "ViewHarness.h"

#include <QPlainTextEdit>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class CommandRecall : public ViewOnLine {
protected:
    void Send(const char* command)
    {
        view.CommandLine()->clear();
        QTest::keyClicks(view.CommandLine(), command);
        QTest::keyClick(view.CommandLine(), Qt::Key_Return);
        RunPosted();
    }
    std::string Shown() { return view.CommandLine()->toPlainText().toStdString(); }
};

TEST_F(CommandRecall, UpRecallsAndEnterResendsThePreviousCommand)
{
    Send("first");
    Send("second");
    EXPECT_EQ(line.Read(15), "first\r\nsecond\r\n");

    view.CommandLine()->clear();
    QTest::keyClicks(view.CommandLine(), "draft");
    const struct {
        Qt::Key key;
        const char* shown;
    } steps[] = {{Qt::Key_Up, "second"}, {Qt::Key_Up, "first"}, {Qt::Key_Up, "first"},
                 {Qt::Key_Down, "second"}, {Qt::Key_Down, "draft"}, {Qt::Key_Up, "second"},
                 {Qt::Key_Escape, "draft"}, {Qt::Key_Up, "second"}};
    for (const auto& step : steps) {
        QTest::keyClick(view.CommandLine(), step.key);
        EXPECT_EQ(Shown(), step.shown);
    }
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(8), "second\r\n");
    EXPECT_EQ(view.History().Size(), 2u) << "the resent command is kept once";
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(CommandRecall, APastedMultiLineCommandComesBackWhole)
{
    view.CommandLine()->setPlainText(QStringLiteral("a\nb"));
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(6), "a\r\nb\r\n");
    view.CommandLine()->clear();
    QTest::keyClick(view.CommandLine(), Qt::Key_Up);
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(6), "a\r\nb\r\n");
}

TEST_F(CommandRecall, TheFileIsWrittenAtEachSendAndReadByTheNextView)
{
    char pattern[] = "/tmp/tamsel-recall-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/tamsel/history";
    view.UseHistoryFile(path);
    Send("kept");
    std::stringstream written;
    written << std::ifstream(path).rdbuf();
    EXPECT_EQ(written.str(), "kept\n");

    CChildView next(FastLineTimings());
    next.UseHistoryFile(path);
    QTest::keyClick(next.CommandLine(), Qt::Key_Up);
    EXPECT_EQ(next.CommandLine()->toPlainText().toStdString(), "kept");
    std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(CommandRecall, AnUnwritableFileIsSaidOnceAndTheSendsGoOn)
{
    view.UseHistoryFile("/dev/null/tamsel/history");
    Send("one");
    Send("two");
    EXPECT_EQ(line.Read(10), "one\r\ntwo\r\n");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_NE(boxes.calls[0].detail.find("/dev/null"), std::string::npos) << boxes.calls[0].detail;
    QTest::keyClick(view.CommandLine(), Qt::Key_Up);
    EXPECT_EQ(Shown(), "two");
}

} // namespace
