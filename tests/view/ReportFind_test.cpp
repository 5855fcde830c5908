// Finding text in the report: the search itself, and the find bar in the view.
#include "ViewHarness.h"

#include "resources/CommandIds.h"
#include "view/CFindBar.h"
#include "view/ReportFind.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <ostream>
#include <string>

namespace {

struct FindCase {
    const char* text;
    int from;
    const char* needle;
    bool matchCase;
    bool backwards;
    int found;
};

void PrintTo(const FindCase& c, std::ostream* out)
{
    *out << '"' << c.needle << "\" from " << c.from << (c.backwards ? " backwards" : "")
         << (c.matchCase ? " matching case" : "");
}

const FindCase kFindCases[] = {
    {"abc abc abc", 0, "abc", false, false, 0},
    {"abc abc abc", 1, "abc", false, false, 4},
    {"abc abc abc", 9, "abc", false, false, 0},    // wraps past the end
    {"abc abc abc", 11, "abc", false, false, 0},   // from the very end
    {"abc abc abc", 8, "abc", false, true, 4},     // the last that starts before from
    {"abc abc abc", 0, "abc", false, true, 8},     // wraps past the start
    {"abc abc abc", 11, "abc", false, true, 8},
    {"abc abc abc", 4, "abc", false, true, 0},
    {"Line\r\nLINE\r\n", 1, "line", false, false, 6},
    {"Line\r\nLINE\r\n", 1, "line", true, false, -1},
    {"Line\r\nLINE\r\n", 1, "LINE", true, false, 6},
    {"caf\xC9 \xE9", 0, "\xE9", false, false, 3},  // ISO 8859-1 letters fold too
    {"caf\xC9 \xE9", 0, "\xE9", true, false, 5},
    {"a\xD7" "b", 0, "\xF7", false, false, -1},    // the signs are no letters
    {"\r\n", 0, "\r\n", false, false, 0},
    {"abc", 0, "", false, false, -1},
    {"ab", 0, "abc", false, false, -1},
    {"", 0, "a", false, true, -1},
    {"abcabc", -5, "abc", false, false, 0},        // a from outside the text is clamped
    {"abcabc", 99, "abc", false, true, 3},
};

class FindInText : public testing::TestWithParam<FindCase> {};

TEST_P(FindInText, GivesTheNextMatchAndWraps)
{
    const FindCase& c = GetParam();
    EXPECT_EQ(FindInReport(c.text, c.from, {c.needle, c.matchCase, c.backwards}), c.found);
}

INSTANTIATE_TEST_SUITE_P(Table, FindInText, testing::ValuesIn(kFindCases));

class FindBar : public ViewOnLine {
protected:
    void SetUp() override
    {
        ViewOnLine::SetUp();
        view.show();
        // On an X server without a window manager nothing activates a new window.
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.Session().AppendReport("first line\r\nsecond Line\r\nthird line\r\n");
        view.OnCommand(ID_EDIT_FIND);
    }
    QLineEdit* Field() { return view.FindBar()->findChild<QLineEdit*>(QStringLiteral("findText")); }
    QString Outcome() { return view.FindBar()->findChild<QLabel*>(QStringLiteral("findOutcome"))->text(); }
    std::pair<int, int> Selection() const { return {view.Session().Report().SelStart(), view.Session().Report().SelEnd()}; }
    std::pair<int, int> ShownSelection()
    {
        const QTextCursor cursor = view.ReportWindow()->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
};

TEST_F(FindBar, TypingSelectsEachMatchAndEnterWalksThemBothWays)
{
    ASSERT_TRUE(view.FindBar()->isVisible());
    ASSERT_TRUE(Field()->hasFocus());
    const std::string before = view.Session().Report().Text();
    QTest::keyClicks(Field(), "li");
    EXPECT_EQ(Selection(), std::make_pair(6, 8));
    QTest::keyClicks(Field(), "ne");
    EXPECT_EQ(Selection(), std::make_pair(6, 10)) << "a longer search keeps the match it still fits";
    EXPECT_EQ(ShownSelection(), std::make_pair(6, 10));

    const struct {
        Qt::KeyboardModifiers modifiers;
        int start;
    } walk[] = {{Qt::NoModifier, 19}, {Qt::NoModifier, 31}, {Qt::NoModifier, 6},
                {Qt::ShiftModifier, 31}, {Qt::ShiftModifier, 19}};
    for (const auto& step : walk) {
        QTest::keyClick(Field(), Qt::Key_Return, step.modifiers);
        EXPECT_EQ(Selection(), std::make_pair(step.start, step.start + 4));
    }
    // Display positions count a line break as one character.
    EXPECT_EQ(ShownSelection(), std::make_pair(18, 22));

    view.FindBar()->findChild<QCheckBox*>(QStringLiteral("findMatchCase"))->setChecked(true);
    EXPECT_EQ(Selection(), std::make_pair(31, 35)) << "'Line' of the second line no longer matches";
    EXPECT_EQ(Outcome(), "");
    EXPECT_EQ(view.Session().Report().Text(), before);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FindBar, NoMatchIsShownInTheBarAndLeavesTheSelection)
{
    QTest::keyClicks(Field(), "second");
    ASSERT_EQ(Selection(), std::make_pair(12, 18));
    QTest::keyClicks(Field(), "x");
    EXPECT_EQ(Outcome(), "no match");
    EXPECT_EQ(Selection(), std::make_pair(12, 18));
    Field()->setText(QStringLiteral("\u3042"));  // no report byte is this character
    EXPECT_EQ(Outcome(), "no match");
    QTest::keyClick(Field(), Qt::Key_Backspace);
    EXPECT_EQ(Outcome(), "") << "an empty search is no failure";
}

TEST_F(FindBar, AppendsKeepTheFoundSelectionAndEscapeReturnsToTheCommandLine)
{
    QTest::keyClicks(Field(), "third");
    ASSERT_EQ(Selection(), std::make_pair(25, 30));
    view.Session().AppendReport("fourth line\r\n");
    EXPECT_EQ(Selection(), std::make_pair(25, 30));
    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(view.FindBar()->isVisible());
    EXPECT_TRUE(view.CommandLine()->hasFocus());
    EXPECT_EQ(view.ReportWindow()->geometry().bottom() + 1, view.CommandLine()->geometry().top())
        << "the report takes the bar's room back";
}

} // namespace
