// The quick-send keys and the report font's zoom keys, from the keyboard
// with the focus in the command line, and the profile sections that keep them.
#include "ModalDriver.h"
#include "ShellFixture.h"

#include "conversions/ConversionRegistry.h"
#include "report/ReportZoom.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// Each test stores its profile and starts the application on it.
class KeysTest : public FrameOnLine {
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(CommandLine(), key, modifiers);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
    }
    // Fills the quick-send dialog's fields by key name and ends it with OK or Cancel.
    void SetKeys(const std::vector<std::pair<const char*, QString>>& texts, bool ok)
    {
        WhenModal([&texts, ok](QDialog& dialog) {
            for (const auto& [name, text] : texts)
                dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
            ok ? dialog.accept() : dialog.reject();
        });
        Frame().OnCommand(ID_QUICK_SEND_SETUP);
    }

};

TEST_F(KeysTest, AQuickSendKeySendsItsTextAsTypedAndEnterWouldInEveryConversion)
{
    StoreProfile({{"comport", "COM2"}, {"localecho", 1}});
    Start();
    SetKeys({{"F2", QStringLiteral("ping 1")}, {"F8", QStringLiteral("4142")}}, true);

    const struct {
        int conversion;
        Qt::Key key;
        const char* typed;
    } cases[] = {
        {kConversionRaw, Qt::Key_F2, "ping 1"},
        {kConversionHex, Qt::Key_F2, "ping 1"},
        {kConversionBin, Qt::Key_F8, "4142"},
    };
    for (const auto& c : cases) {
        Frame().OnCommand(ConversionAt(c.conversion).txCommand);
        View().OnCommand(ID_CLEAR_REPORT);
        CommandLine()->setPlainText(QString::fromLatin1(c.typed));
        Key(Qt::Key_Return);
        const std::string typedBytes = line.ReadReply();
        const std::string typedReport = View().Session().Report().Text();
        ASSERT_FALSE(typedBytes.empty()) << c.typed;

        View().OnCommand(ID_CLEAR_REPORT);
        CommandLine()->setPlainText(QStringLiteral("draft"));
        Key(c.key);
        EXPECT_EQ(line.ReadReply(), typedBytes) << c.conversion;
        EXPECT_EQ(View().Session().Report().Text(), typedReport) << "the same echo";
        EXPECT_EQ(View().History().At(0), c.typed) << "kept in the history";
        EXPECT_EQ(CommandLine()->toPlainText(), "draft") << "the command line is left as it was";
    }
    EXPECT_TRUE(shell->boxes.calls.empty());

    // A key without a text sends nothing, not even a line end.
    Key(Qt::Key_F3);
    EXPECT_EQ(line.ReadReply(200), "");

    // Kept in their own section, as single-byte text; Cancel keeps them as they were.
    SetKeys({{"F1", QStringLiteral("r\u00e9set")}}, true);
    SetKeys({{"F1", QStringLiteral("lost")}}, false);
    EXPECT_EQ(Profile().value(QStringLiteral("quicksend/F1")).toString(), QStringLiteral("r\u00e9set"));
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/F1")));
    Start();
    Frame().OnCommand(ID_TX_RAW);
    EXPECT_EQ(View().QuickSendText(6), "4142") << "F8 as the dialog set it";
    Key(Qt::Key_F1);
    EXPECT_EQ(line.ReadReply(), "r\xe9set\r\n");
    StoreProfile({});
}

TEST_F(KeysTest, ZoomKeysStepTheReportFontAndTheSizeIsKept)
{
    StoreProfile({{"comport", "COM2"}, {"sendXrate", 0}});
    Start();
    EXPECT_EQ(View().ReportFontPixels(), 16);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int pixels;
    } steps[] = {
        {Qt::Key_Equal, Qt::ControlModifier, 18},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 20},
        {Qt::Key_Minus, Qt::ControlModifier, 18},
        {Qt::Key_0, Qt::ControlModifier, 16},
        {Qt::Key_Minus, Qt::ControlModifier, 14},
    };
    for (const auto& step : steps) {
        Key(step.key, step.modifiers);
        EXPECT_EQ(View().ReportFontPixels(), step.pixels);
        EXPECT_EQ(CommandLine()->toPlainText(), "") << "the key never reaches the command line";
    }
    EXPECT_EQ(Profile().value(QStringLiteral("zoom/reportfont")).toInt(), 14);
    Start();
    EXPECT_EQ(View().ReportFontPixels(), 14);

    for (const char* stored : {"500", "-3", "big"}) {
        QSettings profile = Profile();
        profile.setValue(QStringLiteral("zoom/reportfont"), QString::fromLatin1(stored));
        profile.sync();
        Start();
        EXPECT_EQ(View().ReportFontPixels(), 16) << stored;
    }
    StoreProfile({});
}

TEST_F(KeysTest, FileSendPacingIsSetInItsDialogAndKeptInItsOwnSection)
{
    StoreProfile({{"comport", "COM2"}});
    Start();
    EXPECT_EQ(Frame().Pacing().charDelayMs, 0);
    EXPECT_EQ(Frame().Pacing().lineDelayMs, 0);
    WhenModal([](QDialog& dialog) {
        dialog.findChild<QSpinBox*>(QStringLiteral("charDelay"))->setValue(3);
        dialog.findChild<QSpinBox*>(QStringLiteral("lineDelay"))->setValue(250);
        dialog.accept();
    });
    Frame().OnCommand(ID_FILE_SEND_PACING);
    EXPECT_EQ(Profile().value(QStringLiteral("sendfile/chardelay")).toInt(), 3);
    EXPECT_EQ(Profile().value(QStringLiteral("sendfile/linedelay")).toInt(), 250);
    {
        QSettings profile = Profile();
        profile.setValue(QStringLiteral("sendfile/chardelay"), QStringLiteral("-4"));
    }
    Start();
    EXPECT_EQ(Frame().Pacing().charDelayMs, 0) << "a pause out of range is none";
    EXPECT_EQ(Frame().Pacing().lineDelayMs, 250);
    StoreProfile({});
}

TEST(ReportZoom, StepsStopAtTheLadderEndsAndSizesBetweenRungsMoveToTheNextOne)
{
    const struct {
        int current, steps, expected;
    } cases[] = {
        {16, 1, 18}, {16, -1, 14}, {16, 0, 16}, {8, -1, 8}, {64, 1, 64}, {64, 3, 64},
        {13, 1, 14}, {13, -1, 12}, {16, 100, 64}, {16, -100, 8}, {0, 1, 18}, {1000, -1, 14},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoomedFontPixels(c.current, c.steps), c.expected) << c.current << " by " << c.steps;
}

} // namespace
