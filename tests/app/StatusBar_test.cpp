#include "app/CStatusBar.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>

namespace {

constexpr int kPanes[] = {ID_SEPARATOR, ID_INDICATOR_PORT, ID_INDICATOR_RXCONV, ID_INDICATOR_CAPS};

int Width(const CStatusBar& bar, int id)
{
    return bar.findChild<QLabel*>(QString::number(id))->width();
}

TEST(StatusBar, PanesShowTheirPlaceholdersAtTheirWidth)
{
    QMainWindow window;
    auto* bar = new CStatusBar(&window);
    window.setStatusBar(bar);
    ASSERT_TRUE(bar->SetIndicators(kPanes, StringTable::Builtin(Language::English)));
    window.show();

    EXPECT_EQ(bar->CommandToIndex(ID_SEPARATOR), 0);
    EXPECT_EQ(bar->CommandToIndex(ID_INDICATOR_CAPS), 3);
    EXPECT_EQ(bar->CommandToIndex(ID_INDICATOR_KANA), -1);
    EXPECT_EQ(bar->GetPaneText(1), "COM??????");
    EXPECT_EQ(bar->GetPaneText(2), "TxConv");
    EXPECT_EQ(bar->GetPaneText(3), "CAP");

    // A narrow placeholder makes a narrow pane, and a longer text is clipped, not widened for.
    const int capWidth = Width(*bar, ID_INDICATOR_CAPS);
    EXPECT_LT(capWidth, Width(*bar, ID_INDICATOR_PORT));
    bar->SetPaneText(3, "CAPITALS LOCKED");
    EXPECT_EQ(Width(*bar, ID_INDICATOR_CAPS), capWidth);
    EXPECT_EQ(bar->GetPaneText(3), "CAPITALS LOCKED");
    // Writing through an index that names no pane changes nothing.
    bar->SetPaneText(-1, "x");
    bar->SetPaneText(4, "x");
    EXPECT_EQ(bar->GetPaneText(4), QString());
}

TEST(StatusBar, TextsWrittenWhileHiddenAppearWhenShown)
{
    QMainWindow window;
    auto* bar = new CStatusBar(&window);
    window.setStatusBar(bar);
    ASSERT_TRUE(bar->SetIndicators(kPanes, StringTable::Builtin(Language::English)));
    window.show();
    bar->hide();
    bar->SetPaneText(bar->CommandToIndex(ID_INDICATOR_PORT), "\\\\.\\COM3");
    bar->show();
    EXPECT_EQ(bar->findChild<QLabel*>(QString::number(ID_INDICATOR_PORT))->text(), "\\\\.\\COM3");
}

TEST(StatusBar, AMissingPlaceholderFailsTheSetUp)
{
    constexpr StringEntry kPartial[] = {{ID_INDICATOR_PORT, "COM??????"}};
    const StringTable partial{kPartial};
    QMainWindow window;
    CStatusBar bar(&window);
    EXPECT_FALSE(bar.SetIndicators(kPanes, partial));
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_PORT), -1);
    EXPECT_TRUE(bar.findChildren<QLabel*>().isEmpty());
}

TEST(StatusBar, FitPaneToWidensForALongerText)
{
    QMainWindow window;
    CStatusBar bar(&window);
    ASSERT_TRUE(bar.SetIndicators(kPanes, StringTable::Builtin(Language::English)));
    const int before = Width(bar, ID_INDICATOR_CAPS);
    bar.FitPaneTo(3, "a much longer text than CAP");
    EXPECT_GT(Width(bar, ID_INDICATOR_CAPS), before);
    bar.FitPaneTo(3, "C");
    EXPECT_GT(Width(bar, ID_INDICATOR_CAPS), before);
}

} // namespace
