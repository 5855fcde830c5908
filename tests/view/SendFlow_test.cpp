#include "ViewHarness.h"
#include "conversions/ConversionRegistry.h"

#include "resources/CommandIds.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <string>

namespace {


struct SendCase {
    const char* name;
    int conversion;
    const char* command;
    std::string wire;  // what the far side receives
};

const SendCase kSendCases[] = {
    {"Raw", kConversionRaw, "hello", "hello\r\n"},
    {"Hex", kConversionHex, "AB", "4142\r\n"},
    {"Bin", kConversionBin, "414200ff", std::string("\x41\x42\x00\xFF", 4)},
    {"Orvane10", kConversionOV10, "get16 5 3", "\x45\x02\x43\x3F"},
    {"Orvane11", kConversionOV11, "get16 5 3", "\x45\x02\xFD\x43\x3F\x42"},
};

class SendFlow : public ViewOnLine, public ::testing::WithParamInterface<std::tuple<SendCase, bool>> {};

TEST_P(SendFlow, TypedCommandReachesTheFarSideConvertedAndIsEchoedWhenAsked)
{
    const auto& [c, echo] = GetParam();
    view.Session().SetTransmitConversion(c.conversion);
    view.Session().SetLocalEcho(echo);

    QTest::keyClicks(view.CommandLine(), c.command);
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();

    EXPECT_EQ(line.Read(c.wire.size()), c.wire);
    EXPECT_EQ(line.ReadUntilQuiet(50), "");
    EXPECT_EQ(ReportText(), echo ? std::string(">> ") + c.command + "\r\n" : "");
    EXPECT_EQ(view.CommandLine()->toPlainText().toStdString(), c.command) << "the command stays";
    EXPECT_TRUE(boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, SendFlow, ::testing::Combine(::testing::ValuesIn(kSendCases), ::testing::Bool()),
    [](const ::testing::TestParamInfo<SendFlow::ParamType>& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Echo" : "Quiet");
    });

TEST_F(ViewOnLine, BothDirectionsAreRawBeforeAnySelection)
{
    QTest::keyClicks(view.CommandLine(), "x");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(3), "x\r\n");
}

TEST_F(ViewOnLine, EnterOnAnEmptyCommandLineSendsALineEnd)
{
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(2), "\r\n");
}

TEST_F(ViewOnLine, EnterAgainSendsTheSameCommandAgain)
{
    QTest::keyClicks(view.CommandLine(), "again");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    QTest::keyClick(view.CommandLine(), Qt::Key_Enter);  // the keypad's Enter
    RunPosted();
    EXPECT_EQ(line.Read(14), "again\r\nagain\r\n");
}

TEST_F(ViewOnLine, CtrlEnterSendsLikeEnterAndNeitherTypesALineBreak)
{
    QTest::keyClicks(view.CommandLine(), "ab");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(view.CommandLine(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(view.CommandLine(), Qt::Key_Return, Qt::AltModifier);
    RunPosted();
    EXPECT_EQ(line.Read(8), "ab\r\nab\r\n");
    EXPECT_EQ(line.ReadUntilQuiet(50), "") << "Alt+Enter sends nothing";
    EXPECT_EQ(view.CommandLine()->toPlainText(), QStringLiteral("ab"));
    EXPECT_EQ(view.CommandLine()->document()->blockCount(), 1);
}

TEST_F(ViewOnLine, PastedLineBreaksStayInTheCommandAndGoOut)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("first\nsecond"));
    ASSERT_TRUE(view.OnCommand(ID_EDIT_PASTE));
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.Read(15), "first\r\nsecond\r\n");
    EXPECT_EQ(view.CommandLine()->document()->blockCount(), 2);
}

TEST_F(ViewOnLine, CommandCharactersBecomeTheirSingleBytes)
{
    view.CommandLine()->insertPlainText(QString::fromUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC2\xA0!"));
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    // e-acute and the no-break space are ISO 8859-1; the euro sign and the
    // emoji are not, and each is one '?'.
    EXPECT_EQ(line.Read(7), "\xE9??\xA0!\r\n");
}

TEST_F(ViewOnLine, OrvaneEchoShowsOnlyTheFirstStatementButSendsAll)
{
    view.Session().SetTransmitConversion(kConversionOV11);
    view.Session().SetLocalEcho(true);
    QTest::keyClicks(view.CommandLine(), "get16 5 3;get16 5 4");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();

    const std::string first("\x45\x02\xFD\x43\x3F\x42", 6);
    EXPECT_EQ(line.Read(12).substr(0, 6), first);
    EXPECT_EQ(ReportText(), ">> get16 5 3\r\n");
}

TEST_F(ViewOnLine, ReportResultsOfTheConverterGoToTheReportNotTheLine)
{
    view.Session().SetTransmitConversion(kConversionOV10);
    view.Session().SetLocalEcho(true);
    QTest::keyClicks(view.CommandLine(), "shownode");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();

    const std::string report = ReportText();
    ASSERT_EQ(report.rfind(">> shownode\r\n", 0), 0u) << "the echo comes first";
    EXPECT_GT(report.size(), std::string(">> shownode\r\n").size());
    EXPECT_EQ(line.ReadUntilQuiet(50), "");
}

TEST(SendWithoutPort, ShowsFailedToTransmit)
{
    MessageBoxRecorder boxes;
    CChildView view(FastLineTimings());
    QTest::keyClicks(view.CommandLine(), "lost");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents();

    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Failed to transmit");
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::ComSend");
    EXPECT_EQ(boxes.calls[0].owner, static_cast<void*>(static_cast<QWidget*>(&view)));
}

// A box shown by the transmit converter runs a nested event loop in the
// application; a send and a conversion switch arriving there must neither
// re-enter nor delete the converter that is still showing its box.
TEST_F(ViewOnLine, SendAndSwitchUnderAConverterBoxWaitForTheRunningSend)
{
    int nested = 0;
    const MessageBoxHandler recorder = SetMessageBoxHandler([&](const MessageBoxCall& call) {
        boxes.calls.push_back(call);
        if (nested++ == 0) {
            view.OnCommand(ID_SEND_COMMAND);
            view.Session().SetTransmitConversion(kConversionRaw);
        }
        return kIdOk;
    });
    view.Session().SetTransmitConversion(kConversionBin);
    QTest::keyClicks(view.CommandLine(), "zz");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    SetMessageBoxHandler(recorder);

    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].caption, "Binary Translate Alart");
    EXPECT_EQ(line.Read(4), "zz\r\n") << "the waiting send ran afterwards, with the new converter";
}

} // namespace

namespace {

struct LineEndCase {
    LineEnd end;
    const char* raw;  // "hi" sent by Raw
    const char* hex;  // "hi" sent by Hex
};

const LineEndCase kLineEnds[] = {
    {LineEnd::kCrLf, "hi\r\n", "6869\r\n"},
    {LineEnd::kCr, "hi\r", "6869\r"},
    {LineEnd::kLf, "hi\n", "6869\n"},
    {LineEnd::kNone, "hi", "6869"},
};

class LineEnds : public ViewOnLine, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(LineEnds, EndRawAndHexCommandsAndOutliveAConversionSwitch)
{
    view.Session().SetLineEnd(GetParam().end);
    QTest::keyClicks(view.CommandLine(), "hi");
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.ReadUntilQuiet(50), GetParam().raw);
    view.Session().SetTransmitConversion(kConversionHex);
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.ReadUntilQuiet(50), GetParam().hex);
    view.Session().SetTransmitConversion(kConversionBin);  // Bin sends exactly the bytes given, whatever the line end
    view.CommandLine()->setPlainText(QStringLiteral("0d"));
    QTest::keyClick(view.CommandLine(), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(line.ReadUntilQuiet(50), "\r");
}

INSTANTIATE_TEST_SUITE_P(Choices, LineEnds, ::testing::ValuesIn(kLineEnds));

} // namespace
