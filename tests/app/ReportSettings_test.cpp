// Report settings of their own profile section: off by default, kept when changed.
#include "ShellFixture.h"
#include "ModalDriver.h"

#include "app/MenuChoices.h"

#include <gtest/gtest.h>

#include <QInputDialog>

namespace {

TEST(ReportSettings, TimeStampsAreOffByDefaultAndTheMenuItemKeepsItsChoice)
{
    StoreProfile({});
    {
        Shell shell;
        ASSERT_TRUE(shell.started);
        EXPECT_FALSE(shell.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
        EXPECT_FALSE(shell.View().Session().TimeStamps());
        shell.Frame().OnCommand(ID_VIEW_TIME_STAMPS);
        EXPECT_TRUE(shell.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
        EXPECT_TRUE(shell.View().Session().TimeStamps());
    }
    EXPECT_EQ(Profile().value(QStringLiteral("report/timestamps")).toInt(), 1);
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/timestamps")));
    Shell next;
    EXPECT_TRUE(next.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
    EXPECT_TRUE(next.View().Session().TimeStamps());
    next.Frame().OnCommand(ID_VIEW_TIME_STAMPS);
    EXPECT_FALSE(next.View().Session().TimeStamps());
    StoreProfile({});
}

TEST(ReportSettings, TheReportSizeComesFromItsDialogIsKeptAndAnOptionSetsItForTheRunOnly)
{
    StoreProfile({});
    {
        Shell shell;
        ASSERT_TRUE(shell.started);
        EXPECT_EQ(shell.View().Session().Report().Limit(), 20000);
        int offered = 0;
        WhenModal([&offered](QDialog& dialog) {
            auto* input = qobject_cast<QInputDialog*>(&dialog);
            ASSERT_NE(input, nullptr);
            offered = input->intValue();
            input->setIntValue(1000000);
            dialog.accept();
        });
        shell.Frame().OnCommand(ID_VIEW_REPORT_SIZE);
        EXPECT_EQ(offered, 20000);
        EXPECT_EQ(shell.View().Session().Report().Limit(), 1000000);
    }
    EXPECT_EQ(Profile().value(QStringLiteral("report/limit")).toInt(), 1000000);
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/limit")));
    {
        Shell next;
        EXPECT_EQ(next.View().Session().Report().Limit(), 1000000);
        CommandLineOptions options;
        options.reportLimit = 300000;
        ApplyMenuChoices(options, next.Frame());
        EXPECT_EQ(next.View().Session().Report().Limit(), 300000);
    }
    EXPECT_EQ(Profile().value(QStringLiteral("report/limit")).toInt(), 1000000) << "the option is for one run";
    // A stored size outside the range is its nearest end; text that is no number is the default.
    const struct {
        const char* stored;
        int limit;
    } strange[] = {{"5", 20000}, {"999999999", 64 * 1024 * 1024}, {"big", 20000}, {"99999999999", 20000}};
    for (const auto& c : strange) {
        QSettings profile = Profile();
        profile.setValue(QStringLiteral("report/limit"), QString::fromLatin1(c.stored));
        profile.sync();
        Shell shell;
        EXPECT_EQ(shell.View().Session().Report().Limit(), c.limit) << c.stored;
    }
    StoreProfile({});
}

} // namespace

namespace {

TEST(SendSettings, TheLineEndChoiceIsKeptInItsOwnSectionAndAStrangeOneIsCrLf)
{
    StoreProfile({});
    {
        Shell shell;
        ASSERT_TRUE(shell.started);
        EXPECT_TRUE(shell.Frame().IsMenuChecked(ID_LINE_END_CRLF));
        EXPECT_EQ(shell.View().Session().GetLineEnd(), LineEnd::kCrLf);
        shell.Frame().OnCommand(ID_LINE_END_LF);
        EXPECT_TRUE(shell.Frame().IsMenuChecked(ID_LINE_END_LF));
        EXPECT_FALSE(shell.Frame().IsMenuChecked(ID_LINE_END_CRLF));
        EXPECT_EQ(shell.View().Session().GetLineEnd(), LineEnd::kLf);
    }
    EXPECT_EQ(Profile().value(QStringLiteral("send/lineend")).toInt(), 2);
    {
        Shell next;
        EXPECT_EQ(next.View().Session().GetLineEnd(), LineEnd::kLf);
    }
    for (const char* stored : {"7", "-1", "x"}) {
        QSettings profile = Profile();
        profile.setValue(QStringLiteral("send/lineend"), QString::fromLatin1(stored));
        profile.sync();
        Shell strange;
        EXPECT_EQ(strange.View().Session().GetLineEnd(), LineEnd::kCrLf) << stored;
        EXPECT_TRUE(strange.Frame().IsMenuChecked(ID_LINE_END_CRLF)) << stored;
    }
    StoreProfile({});
}

} // namespace
