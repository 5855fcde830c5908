// Report settings of their own profile section: off by default, kept when changed.
#include "ShellFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportSettings, TimeStampsAreOffByDefaultAndTheMenuItemKeepsItsChoice)
{
    StoreProfile({});
    {
        Shell shell;
        ASSERT_TRUE(shell.started);
        EXPECT_FALSE(shell.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
        EXPECT_FALSE(shell.View().TimeStamps());
        shell.Frame().OnCommand(ID_VIEW_TIME_STAMPS);
        EXPECT_TRUE(shell.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
        EXPECT_TRUE(shell.View().TimeStamps());
    }
    EXPECT_EQ(Profile().value(QStringLiteral("report/timestamps")).toInt(), 1);
    EXPECT_FALSE(Profile().contains(QStringLiteral("tamsel_OV/timestamps")));
    Shell next;
    EXPECT_TRUE(next.Frame().IsMenuChecked(ID_VIEW_TIME_STAMPS));
    EXPECT_TRUE(next.View().TimeStamps());
    next.Frame().OnCommand(ID_VIEW_TIME_STAMPS);
    EXPECT_FALSE(next.View().TimeStamps());
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
        EXPECT_EQ(shell.View().GetLineEnd(), LineEnd::kCrLf);
        shell.Frame().OnCommand(ID_LINE_END_LF);
        EXPECT_TRUE(shell.Frame().IsMenuChecked(ID_LINE_END_LF));
        EXPECT_FALSE(shell.Frame().IsMenuChecked(ID_LINE_END_CRLF));
        EXPECT_EQ(shell.View().GetLineEnd(), LineEnd::kLf);
    }
    EXPECT_EQ(Profile().value(QStringLiteral("send/lineend")).toInt(), 2);
    {
        Shell next;
        EXPECT_EQ(next.View().GetLineEnd(), LineEnd::kLf);
    }
    for (const char* stored : {"7", "-1", "x"}) {
        QSettings profile = Profile();
        profile.setValue(QStringLiteral("send/lineend"), QString::fromLatin1(stored));
        profile.sync();
        Shell strange;
        EXPECT_EQ(strange.View().GetLineEnd(), LineEnd::kCrLf) << stored;
        EXPECT_TRUE(strange.Frame().IsMenuChecked(ID_LINE_END_CRLF)) << stored;
    }
    StoreProfile({});
}

} // namespace
